// One run of the whole workflow per scenario, against the real store, with the real Powershell
// stand-in and a fresh workstation (drives folder) each time.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <thread>

#include "install/run_installation.h"
#include "platform/recording/recording_ui.h"
#include "shared/colours.h"
#include "shared/program_globals.h"
#include "support/sandbox.h"
#include "support/test_store.h"
#include "support/tree_snapshot.h"
#include "support/zip_contents.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using platform::DialogEnd;
using platform::MessageButton;
using testing::Sandbox;
using testing::TestStore;

enum class Setup { kSucceeds, kMissing, kExitsOne, kCannotStart };
enum class Local { kFull, kWithoutItems };

struct Scenario {
  const char* name;
  int location = 4;  // the known location (1 to 4) holding the local installation; 0 none
  Local local = Local::kFull;
  bool cloudPresent = false;
  Setup remoteAppSetup = Setup::kSucceeds;
  bool wrongPassword = false;
  bool noPowershell = false;
  bool stagingBlocked = false;
  bool storeGoneBeforeUpload = false;
  // Expected.
  std::string message;
  std::vector<std::uint32_t> colours;
  bool closeDown = false;
  bool migrated = false;  // the cloud holds the migrated installation afterwards
  bool staged = false;    // the staging folder still holds the staged items
};

constexpr std::uint32_t T = kTransferColour;
const std::string kDone = "Installatie voltooid, Korvant wordt gestart";
const std::vector<std::uint32_t> kMigratedColours = {T,     kGreen,     kPurple, T,
                                                     kBlue, kDarkGreen, kGreen};

std::vector<Scenario> Scenarios() {
  std::vector<Scenario> s;
  for (int location = 1; location <= 4; ++location) {
    Scenario fresh;
    fresh.name = "fresh workstation, installation at a known location";
    fresh.location = location;
    fresh.message = kDone;
    fresh.colours = kMigratedColours;
    fresh.closeDown = true;
    fresh.migrated = true;
    s.push_back(fresh);
  }
  s.push_back({.name = "cloud installation present: no migration",
               .cloudPresent = true,
               .message = kDone,
               .colours = {T, kGreen},
               .closeDown = true});
  s.push_back({.name = "missing setup is told and the run goes on",
               .cloudPresent = true,
               .remoteAppSetup = Setup::kMissing,
               .message = kDone,
               .colours = {T, kGreen},
               .closeDown = true});
  s.push_back({.name = "setup exits 1",
               .remoteAppSetup = Setup::kExitsOne,
               .message = "Installeren benodigdheden\r\nInstallatie van "
                          "\"Setup-RemoteAppClient.exe\" mislukt\r\n1\r\n",
               .colours = {T, kRed}});
  s.push_back({.name = "setup cannot be started",
               .remoteAppSetup = Setup::kCannotStart,
               .message = "Installeren benodigdheden\r\nInstallatie van "
                          "\"Setup-RemoteAppClient.exe\" mislukt\r\n-4\r\n"
                          "%1 is not a valid Win32 application.",
               .colours = {T, kRed}});
  s.push_back({.name = "wrong credentials",
               .wrongPassword = true,
               .message = "Downloaden van installatie\r\nDownload van Korvant installatie "
                          "mislukt, zie: \r\n \"Login denied\"",
               .colours = {kRed}});
  s.push_back({.name = "folder command fails",
               .noPowershell = true,
               .message = "Kan installatie niet voorbereiden, aanmaken van \"Korvant\" folder "
                          "mislukt",
               .colours = {kRed}});
  s.push_back({.name = "no installation chosen",
               .location = 0,
               .message = "Er wordt gezocht naar uw Tarvo installatie",
               .colours = {T, kYellow, kRed},
               .closeDown = true});
  s.push_back({.name = "staging copy fails",
               .stagingBlocked = true,
               .message = "1957:\r\nKopi\xEBren van installatie naar \"C:\\Korvant\\.transfer\" is "
                          "mislukt!\r\nError Code: ",
               .colours = {T, kGreen, kRed}});
  s.push_back({.name = "installation without any of the three items",
               .local = Local::kWithoutItems,
               .message = "1957\r\nEr ging iets mis bij het opslaan van de INI wijzigingen\r\n"
                          "Error Code: 3",
               .colours = {T, kGreen, kPurple, kRed}});
  s.push_back({.name = "store gone before the upload",
               .storeGoneBeforeUpload = true,
               .message = "1957:\r\n\"Voorbereiden upload: \"C:\\BrindleHollows\\Tarvo\" > "
                          "\"C:\\Korvant\\.transfer\"\r\nAanpassen "
                          "\"C:\\Korvant\\.transfer\\Connection.ini\"\r\nUploaden naar "
                          "Korvant\r\nUpload naar Korvant mislukt, zie: \r\n \"Couldn't connect "
                          "to server\"",
               .colours = {T, kGreen, kPurple, T, kRed},
               .staged = true});
  return s;
}

class Workstation {
 public:
  explicit Workstation(const Scenario& scenario) : scenario_(scenario) {
    InitialiseGlobals("/korvant/KorvantUploader");
    oldPath_ = getenv("PATH");
    const std::string programs = testing::BuiltProgramsFolder().string();
    setenv("PATH", ((scenario.noPowershell ? "" : programs + ":") + oldPath_).c_str(), 1);
    setenv("KORVANT_OPEN", (sandbox_.Root() / "open.sh").c_str(), 1);
    std::ofstream(sandbox_.Root() / "open.sh")
        << "#!/bin/sh\necho \"$1\" >> \"" << (sandbox_.Root() / "opened").string() << "\"\n";
    fs::permissions(sandbox_.Root() / "open.sh", fs::perms(0755));
    sandbox_.WriteFile("C:\\placeholder", "");  // the C: drive exists

    if (scenario.location > 0) {
      installation_ = Globals().CandidatePaths[scenario.location - 1].Clip();
      installation_.resize(installation_.size() - std::string("\\Tarvo.exe").size());
      sandbox_.WriteFile(installation_ + "\\Tarvo.exe", "exe");
      if (scenario.local == Local::kFull) {
        sandbox_.WriteFile(installation_ + "\\Connection.ini",
                           "[Korvant]\r\nklant=Bakkerij\r\n\r\n[con1]\r\nserver=db\r\n");
        sandbox_.WriteFile(installation_ + "\\data\\klanten.dat", "klant 1\nklant 2\n");
        sandbox_.WriteFile(installation_ + "\\data\\2025\\boek.dat", std::string(70000, 'b'));
        sandbox_.WriteFile(installation_ + "\\pdf\\factuur.pdf", "%PDF-1.4");
      }
      before_ = testing::SnapshotTree(sandbox_.Host(installation_));
    }
    if (scenario.stagingBlocked) sandbox_.WriteFile("C:\\Korvant\\.transfer", "in the way");

    store_.AddWorkingInstallationSet();
    switch (scenario.remoteAppSetup) {
      case Setup::kSucceeds:
        break;
      case Setup::kExitsOne:
        store_.AddToInstallationSet("Setup-RemoteAppClient.exe",
                                    testing::SetupScript(testing::kRemoteAppDetection, 1));
        break;
      case Setup::kCannotStart:
        store_.AddToInstallationSet("Setup-RemoteAppClient.exe", "MZ for another machine");
        break;
      case Setup::kMissing:
        fs::remove(store_.InstallationSet() / "Setup-RemoteAppClient.exe");
        break;
    }
    if (scenario.cloudPresent) store_.AddToCloud("Connection.ini", "[con1]\r\nremote=1\r\n");

    ui_.AnswerCredentials(DialogEnd::kOk, store_.User(),
                          scenario.wrongPassword ? "wrong" : store_.Password());
    ui_.AnswerMessageBox(MessageButton::kYes);  // the installation found, or "mist"
    ui_.AnswerMessageBox(MessageButton::kYes);
    if (scenario.storeGoneBeforeUpload) {
      ui_.OnMessage([this](const std::string& message) {
        if (message.find("Uploaden naar Korvant") != std::string::npos) store_.MakeUnreachable();
      });
    }
  }
  ~Workstation() { setenv("PATH", oldPath_.c_str(), 1); }

  void Run() {
    InstallSession session;
    session.TransferFolder = "C:\\Korvant\\.transfer";
    RunInstallation(session, ui_);
    migrationIncomplete_ = session.MigrationIncomplete;
  }

  const Scenario& scenario_;
  Sandbox sandbox_;
  TestStore store_;
  platform::RecordingUserInterface ui_;
  std::string installation_;
  testing::TreeSnapshot before_;
  std::string oldPath_;
  int migrationIncomplete_ = -1;
};

TEST(RunInstallation, Scenarios) {
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(std::string(scenario.name) + ", location " + std::to_string(scenario.location));
    Workstation w(scenario);
    w.Run();
    const Sandbox& sandbox = w.sandbox_;

    if (scenario.message.ends_with("Error Code: ")) {
      EXPECT_EQ(w.ui_.Message().rfind(scenario.message, 0), 0u) << w.ui_.Message();
    } else {
      EXPECT_EQ(w.ui_.Message(), scenario.message);
    }
    EXPECT_EQ(w.ui_.Colours(), scenario.colours);
    EXPECT_EQ(w.ui_.CloseDownPosted(), scenario.closeDown);
    const bool succeeded = scenario.message == kDone;
    // The connection file is opened without waiting: give the opener a moment.
    for (int i = 0; succeeded && i < 100 && !fs::exists(sandbox.Root() / "opened"); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(fs::exists(sandbox.Root() / "opened"), succeeded);

    // The user's installation is only ever read.
    if (!w.installation_.empty()) {
      EXPECT_EQ(testing::SnapshotTree(sandbox.Host(w.installation_)), w.before_);
    }
    if (succeeded) {
      EXPECT_EQ(Sandbox::ReadFile(sandbox.Root() / "opened"),
                sandbox.Host("C:\\Korvant\\Tarvo.connect").string() + "\n");
      EXPECT_EQ(Sandbox::ReadFile(sandbox.Host("C:\\Users\\Public\\Desktop\\Tarvo-Cloud.lnk")),
                "shortcut");
      EXPECT_EQ(Sandbox::ReadFile(sandbox.Host("C:\\Windows\\System32\\vpprint.exe")),
                "/VERYSILENT /ALLUSERS\n");
      EXPECT_EQ(w.migrationIncomplete_, 0);
    }
    const fs::path cloud = w.store_.CloudInstaller();
    if (scenario.migrated) {
      const bool brindle = scenario.location >= 3;
      EXPECT_EQ(Sandbox::ReadFile(cloud / "Connection.ini"),
                std::string("[Korvant]\r\nklant=Bakkerij\r\nbrindlehollows=") +
                    (brindle ? "1" : "0") + "\r\n\r\n[con1]\r\nserver=db\r\nremote=1\r\n");
      const fs::path local = sandbox.Host(w.installation_);
      EXPECT_EQ(testing::ZipContents(cloud / "data.zip"), testing::FolderContents(local / "data"));
      EXPECT_EQ(testing::ZipContents(cloud / "pdf.zip"), testing::FolderContents(local / "pdf"));
      EXPECT_FALSE(fs::exists(sandbox.Host("C:\\Korvant\\.transfer")));
    } else if (!scenario.cloudPresent) {
      EXPECT_FALSE(fs::exists(cloud / "Connection.ini"));
    }
    if (scenario.staged) {
      for (const char* item : {"Connection.ini", "data.zip", "pdf.zip"}) {
        EXPECT_TRUE(fs::exists(sandbox.Host(std::string("C:\\Korvant\\.transfer\\") + item)))
            << item;
      }
    }
    if (scenario.location == 0) {
      EXPECT_EQ(w.migrationIncomplete_, 1);
    }
  }
}

}  // namespace
}  // namespace korvant
