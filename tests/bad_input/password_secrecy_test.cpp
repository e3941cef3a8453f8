// The real program, migrating a workstation from a script: its password goes to the store and
// nowhere else: not into the debug trace, not into any file of the workstation (its INI file
// included) or of the cloud.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "faults/workstation.h"
#include "support/program_under_test.h"
#include "support/sandbox.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

// Every file below a folder that holds `secret`, by its path.
std::vector<std::string> FilesHolding(const fs::path& folder, const std::string& secret) {
  std::vector<std::string> found;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file() && Sandbox::ReadFile(it->path()).find(secret) != std::string::npos) {
      found.push_back(it->path().string());
    }
  }
  return found;
}

TEST(PasswordSecrecy, APasswordReachesNeitherTheTraceNorAnyFile) {
  testing::Workstation w;
  const std::string password = "Zeer:Geheim-7319";
  testing::PasswordChange changed(w.store(), password);
  const fs::path trace = w.sandbox().Root() / "debug.log";
  setenv("KORVANT_DEBUG_OUTPUT", trace.c_str(), 1);
  const auto run = testing::RunThroughPipes(
      (testing::BuiltProgramsFolder() / "KorvantUploader").string(), {},
      w.store().User() + "\n" + password + "\nj\n", std::chrono::seconds(60));
  unsetenv("KORVANT_DEBUG_OUTPUT");

  ASSERT_TRUE(run.end.has_value()) << run.output;
  ASSERT_NE(run.output.find("Installatie voltooid"), std::string::npos) << run.output;
  // The trace did record the run, logins and transfers included.
  const std::string traced = Sandbox::ReadFile(trace);
  ASSERT_NE(traced.find("[libcurl] TEXT: "), std::string::npos);
  ASSERT_NE(traced.find("[libcurl] DATA_OUT: "), std::string::npos) << traced.substr(0, 2000);

  EXPECT_EQ(traced.find(password), std::string::npos);
  EXPECT_EQ(run.output.find(password), std::string::npos) << "shown in the window";
  // The whole workstation (drives folder and the program's current folder, with its INI file)
  // and the cloud.
  EXPECT_EQ(FilesHolding(w.sandbox().Root(), password), std::vector<std::string>{});
  EXPECT_EQ(FilesHolding(w.store().Value("KORVANT_STORE_CLOUD"), password),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace korvant
