#include "platform/process.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/windows_errors.h"
#include "support/sandbox.h"

namespace korvant::platform {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    probeOut_ = sandbox_.Root() / "probe.out";
    setenv("KORVANT_PROBE_OUT", probeOut_.c_str(), 1);
  }
  void TearDown() override { unsetenv("KORVANT_PROBE_OUT"); }
  std::string ProbeArguments() const { return Sandbox::ReadFile(probeOut_); }

  Sandbox sandbox_;
  fs::path probeOut_;
};

TEST_F(ProcessTest, WaitsAndGivesTheExitCodeWithArgumentsSplitAsOnWindows) {
  const RunResult result =
      RunCommandLine(std::string("\"") + KORVANT_PROBE_PROGRAM + "\" 7 \"two words\" a\\\"b", true);
  EXPECT_EQ(result.code, 7);
  EXPECT_EQ(ProbeArguments(), "7\ntwo words\na\"b\n");
}

TEST_F(ProcessTest, StartsAProgramInTheDrivesFolderByItsWindowsPath) {
  fs::create_directories(sandbox_.Drives() / "C" / "Korvant");
  fs::copy_file(KORVANT_PROBE_PROGRAM, sandbox_.Host(R"(C:\Korvant\Setup-Probe.exe)"));
  EXPECT_EQ(RunCommandLine(R"(C:\Korvant\Setup-Probe.exe 0 /VERYSILENT /ALLUSERS)", true).code, 0);
  EXPECT_EQ(ProbeArguments(), "0\n/VERYSILENT\n/ALLUSERS\n");
}

TEST_F(ProcessTest, RunsAScriptThatLacksTheExecutePermission) {
  // A setup that was just downloaded carries no execute permission; Windows would start it.
  const fs::path script = sandbox_.WriteFile(R"(C:\Korvant\Setup.exe)",
                                             "#!/bin/sh\necho \"$@\" > \"$KORVANT_PROBE_OUT\"\n"
                                             "exit 3\n");
  fs::permissions(script, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(RunCommandLine(R"(C:\Korvant\Setup.exe /VERYSILENT)", true).code, 3);
  EXPECT_EQ(ProbeArguments(), "/VERYSILENT\n");
}

TEST_F(ProcessTest, FindsABareNameOnThePath) {
  const fs::path folder = sandbox_.Root() / "bin";
  fs::create_directories(folder);
  fs::copy_file(KORVANT_PROBE_PROGRAM, folder / "Probe");
  const std::string oldPath = getenv("PATH");
  setenv("PATH", (folder.string() + ":" + oldPath).c_str(), 1);
  const RunResult result = RunCommandLine("Probe 4", true);
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(result.code, 4);
}

struct StartFailure {
  const char* name;
  const char* commandLine;
  std::uint32_t error;
};

TEST_F(ProcessTest, AProgramThatCannotStartGivesMinusFourAndTheWindowsError) {
  sandbox_.WriteFile(R"(C:\Korvant\Broken.exe)", "not a program");
  const std::array cases = {
      StartFailure{"bare name nowhere", "NoSuchProgramAnywhere -x", kErrorFileNotFound},
      StartFailure{"missing file", R"(C:\Korvant\Missing.exe /VERYSILENT)", kErrorFileNotFound},
      StartFailure{"not a program", R"(C:\Korvant\Broken.exe)", kErrorBadExeFormat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult result = RunCommandLine(c.commandLine, true);
    EXPECT_EQ(result.code, kStartFailed);
    EXPECT_EQ(result.error, c.error);
  }
}

TEST_F(ProcessTest, WithoutWaitingReportsTheStartAndLeavesTheProgramRunning) {
  const fs::path marker = sandbox_.Root() / "started";
  const fs::path script = sandbox_.WriteFile(
      R"(C:\Korvant\Later.exe)", "#!/bin/sh\nsleep 0.2\ntouch \"$KORVANT_PROBE_OUT\"\n");
  EXPECT_EQ(RunCommandLine(R"(C:\Korvant\Later.exe)", false).code, 0);
  EXPECT_FALSE(fs::exists(probeOut_));  // not waited for
  for (int i = 0; i < 100 && !fs::exists(probeOut_); ++i) SleepMilliseconds(50);
  EXPECT_TRUE(fs::exists(probeOut_));
}

TEST(OwnProgramPath, IsThisTestProgram) {
  EXPECT_EQ(fs::path(OwnProgramPath()).filename(), "korvant_platform_tests");
}

}  // namespace
}  // namespace korvant::platform
