// KorvantUploader itself, started in a terminal and from a script, against the real store.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "support/program_under_test.h"
#include "support/sandbox.h"
#include "support/test_store.h"
#include "support/tree_snapshot.h"
#include "support/zip_contents.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

constexpr const char* kInstallation = R"(C:\BrindleHollows\Tarvo)";

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = (testing::BuiltProgramsFolder() / "KorvantUploader").string();
    opened_ = sandbox_.Root() / "opened";
    const fs::path opener = sandbox_.Root() / "open.sh";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> \"" << opened_.string() << "\"\n";
    fs::permissions(opener, fs::perms(0755));
    setenv("KORVANT_OPEN", opener.c_str(), 1);
    setenv("KORVANT_DEBUG_OUTPUT", (sandbox_.Root() / "debug.log").c_str(), 1);

    store_.AddWorkingInstallationSet();

    sandbox_.WriteFile(std::string(kInstallation) + "\\Tarvo.exe", "exe");
    sandbox_.WriteFile(std::string(kInstallation) + "\\Connection.ini",
                       "[Korvant]\nklant=Bakkerij\n[con1]\nserver=db");  // LF, no final break
    sandbox_.WriteFile(std::string(kInstallation) + "\\data\\klanten.dat", "klant 1\n");
    sandbox_.WriteFile(std::string(kInstallation) + "\\data\\2025\\boek.dat",
                       std::string(3 << 20, 'b'));
    sandbox_.WriteFile(std::string(kInstallation) + "\\pdf\\factuur.pdf", "%PDF-1.4");
    before_ = testing::SnapshotTree(sandbox_.Host(kInstallation));
  }
  void TearDown() override {
    unsetenv("KORVANT_OPEN");
    unsetenv("KORVANT_DEBUG_OUTPUT");
  }

  bool WaitForOpened() const {
    for (int i = 0; i < 100 && !fs::exists(opened_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return fs::exists(opened_);
  }

  Sandbox sandbox_;
  testing::TestStore store_;
  std::string program_;
  fs::path opened_;
  testing::TreeSnapshot before_;
};

TEST_F(EndToEnd, AFreshWorkstationMigratesThenASecondRunFindsTheCloudInstallation) {
  {
    testing::TerminalProgram run(program_, {});
    ASSERT_TRUE(run.WaitFor("Gebruikersnaam:")) << run.Output();
    run.Type(store_.User() + "\r");
    ASSERT_TRUE(run.WaitFor("Wachtwoord:")) << run.Output();
    run.Type(store_.Password() + "\r");
    ASSERT_TRUE(run.WaitFor("Wilt u deze gebruiken?", std::chrono::seconds(30))) << run.Output();
    run.Type("j");
    const auto end = run.WaitForEnd(std::chrono::seconds(60));
    ASSERT_TRUE(end.has_value()) << run.Output();
    EXPECT_TRUE(end->exited);
    EXPECT_EQ(end->code, 0);
    EXPECT_EQ(run.Output().find(store_.Password()), std::string::npos) << "password echoed";
  }

  // The store holds the marked Connection.ini and the two folders as archives.
  const fs::path cloud = store_.CloudInstaller();
  EXPECT_EQ(Sandbox::ReadFile(cloud / "Connection.ini"),
            "[Korvant]\nklant=Bakkerij\nbrindlehollows=1\r\n[con1]\nserver=db\r\nremote=1\r\n");
  const fs::path local = sandbox_.Host(kInstallation);
  EXPECT_EQ(testing::ZipContents(cloud / "data.zip"), testing::FolderContents(local / "data"));
  EXPECT_EQ(testing::ZipContents(cloud / "pdf.zip"), testing::FolderContents(local / "pdf"));

  // The workstation: the set, the clients, the shortcut; no staging left; the installation as it
  // was; the cloud connection started; the window's placement remembered.
  for (const char* name : {"Tarvo.lnk", "Tarvo.connect", "Setup-RemoteAppClient.exe",
                           "Setup-VirtualPrinter-Client.exe"}) {
    EXPECT_TRUE(fs::is_regular_file(sandbox_.Host(std::string("C:\\Korvant\\") + name))) << name;
  }
  EXPECT_TRUE(fs::exists(
      sandbox_.Host(R"(C:\Program Files (x86)\Connection Client\RemoteApp\RemoteAppClient.exe)")));
  EXPECT_TRUE(fs::exists(sandbox_.Host(R"(C:\Windows\System32\vpprint.exe)")));
  EXPECT_EQ(Sandbox::ReadFile(sandbox_.Host(R"(C:\Users\Public\Desktop\Tarvo-Cloud.lnk)")),
            "shortcut");
  EXPECT_FALSE(fs::exists(sandbox_.Host(R"(C:\Korvant\.transfer)")));
  EXPECT_EQ(testing::SnapshotTree(local), before_);
  EXPECT_TRUE(WaitForOpened());
  EXPECT_NE(Sandbox::ReadFile("KorvantUploader.INI").find("[InstallSearch]"), std::string::npos);

  // The second run, driven from a script: the cloud installation is there, nothing is migrated.
  fs::remove(opened_);
  const auto second = testing::RunThroughPipes(
      program_, {}, store_.User() + "\n" + store_.Password() + "\n", std::chrono::seconds(60));
  ASSERT_TRUE(second.end.has_value()) << second.output;
  EXPECT_EQ(second.end->code, 0);
  EXPECT_EQ(second.output.find("Er wordt gezocht"), std::string::npos) << second.output;
  EXPECT_NE(second.output.find("[message] Installatie voltooid, Korvant wordt gestart"),
            std::string::npos)
      << second.output;
  EXPECT_TRUE(WaitForOpened());
  EXPECT_EQ(testing::SnapshotTree(local), before_);
}

TEST_F(EndToEnd, AFailedRunKeepsItsWindowUntilTheUserClosesIt) {
  const auto run = testing::RunThroughPipes(program_, {}, store_.User() + "\nwrong\n\n",
                                            std::chrono::seconds(60));
  ASSERT_TRUE(run.end.has_value()) << run.output;
  EXPECT_EQ(run.end->code, 0);
  EXPECT_NE(run.output.find("[message+]  \"Login denied\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("[close]"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(opened_));
  EXPECT_EQ(testing::SnapshotTree(sandbox_.Host(kInstallation)), before_);
}

TEST(EndToEndHandOff, InstallerModeRelaunchesTheProgramInNormalMode) {
  Sandbox sandbox;
  sandbox.WriteFile("C:\\placeholder", "");  // the C: drive exists
  // The relaunched copy's console goes to the debug output; with no store to reach and no one to
  // answer, it shows its failure and closes by itself.
  const fs::path console = sandbox.Root() / "console.log";
  setenv("KORVANT_DEBUG_OUTPUT", console.c_str(), 1);
  setenv("KORVANT_STORE_HOST", "127.0.0.1:1", 1);
  const auto run =
      testing::RunThroughPipes((testing::BuiltProgramsFolder() / "KorvantUploader").string(),
                               {"installer", "0"}, "", std::chrono::seconds(20));
  ASSERT_TRUE(run.end.has_value());
  EXPECT_EQ(run.end->code, 0);
  EXPECT_EQ(run.output, "") << "no window in hand-off mode";
  bool closed = false;
  for (int i = 0; i < 200 && !closed; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    closed = Sandbox::ReadFile(console).find("[closed]") != std::string::npos;
  }
  unsetenv("KORVANT_DEBUG_OUTPUT");
  unsetenv("KORVANT_STORE_HOST");
  const std::string shown = Sandbox::ReadFile(console);
  EXPECT_TRUE(closed) << shown;
  EXPECT_NE(shown.find("[window] Window"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Couldn't connect to server"), std::string::npos) << shown;
}

}  // namespace
}  // namespace korvant
