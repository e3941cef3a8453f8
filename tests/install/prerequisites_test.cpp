#include "install/prerequisites.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <filesystem>

#include "platform/recording/recording_ui.h"
#include "shared/colours.h"
#include "support/sandbox.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

constexpr const char* kRemoteAppDetection =
    R"(C:\Program Files (x86)\Connection Client\RemoteApp\RemoteAppClient.exe)";
constexpr const char* kPrinterDetection = R"(C:\Windows\System32\vpprint.exe)";
constexpr const char* kRemoteAppSetup = R"(C:\Korvant\Setup-RemoteAppClient.exe)";
constexpr const char* kPrinterSetup = R"(C:\Korvant\Setup-VirtualPrinter-Client.exe)";

// A setup: a script that notes its arguments in a log beside it and exits with `code`.
void WriteSetup(const Sandbox& sandbox, const char* path, int code) {
  const std::string name = fs::path(sandbox.Host(path)).filename().string();
  sandbox.WriteFile(path, "#!/bin/sh\necho \"" + name + " $*\" >> \"" +
                              (sandbox.Root() / "setups.log").string() + "\"\nexit " +
                              std::to_string(code) + "\n");
}

struct PrerequisiteCase {
  const char* name;
  bool remoteAppInstalled;
  bool printerInstalled;
  int remoteAppSetup;  // exit code; -1: setup missing, -2: not a program
  int printerSetup;
  bool success;
  const char* setupsRun;
  const char* messageBoxes;  // joined texts
  const char* appended;      // what the message text gained
};

const std::array kCases = {
    PrerequisiteCase{"both installed: nothing runs", true, true, 1, 1, true, "", "", ""},
    PrerequisiteCase{"both missing, both setups succeed", false, false, 0, 0, true,
                     "Setup-RemoteAppClient.exe /VERYSILENT /ALLUSERS\n"
                     "Setup-VirtualPrinter-Client.exe /VERYSILENT /ALLUSERS\n",
                     "", ""},
    PrerequisiteCase{"remote-app setup fails: printer row not looked at", false, false, 1, 0, false,
                     "Setup-RemoteAppClient.exe /VERYSILENT /ALLUSERS\n", "",
                     "\r\nInstallatie van \"Setup-RemoteAppClient.exe\" mislukt\r\n1\r\n"},
    PrerequisiteCase{"missing setup is told and skipped", false, false, -1, 0, true,
                     "Setup-VirtualPrinter-Client.exe /VERYSILENT /ALLUSERS\n",
                     "C:\\Korvant\\Setup-RemoteAppClient.exe mist", ""},
    PrerequisiteCase{"printer setup alone succeeds", true, false, 1, 0, true,
                     "Setup-VirtualPrinter-Client.exe /VERYSILENT /ALLUSERS\n", "", ""},
    PrerequisiteCase{"printer setup fails with a large code", true, false, 0, 200, false,
                     "Setup-VirtualPrinter-Client.exe /VERYSILENT /ALLUSERS\n", "",
                     "\r\nInstallatie van \"Setup-VirtualPrinter-Client.exe\" mislukt\r\n200\r\n"},
    PrerequisiteCase{"setup that cannot be started", false, true, -2, 0, false, "", "",
                     "\r\nInstallatie van \"Setup-RemoteAppClient.exe\" mislukt\r\n-4\r\n"
                     "%1 is not a valid Win32 application."},
};

TEST(InstallPrerequisites, InstallsWhatIsMissingAndReportsTheFirstFailure) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Sandbox sandbox;
    if (c.remoteAppInstalled) sandbox.WriteFile(kRemoteAppDetection, "");
    if (c.printerInstalled) sandbox.WriteFile(kPrinterDetection, "");
    if (c.remoteAppSetup >= 0) WriteSetup(sandbox, kRemoteAppSetup, c.remoteAppSetup);
    if (c.remoteAppSetup == -2) sandbox.WriteFile(kRemoteAppSetup, "MZ not for this host");
    if (c.printerSetup >= 0) WriteSetup(sandbox, kPrinterSetup, c.printerSetup);

    platform::RecordingUserInterface ui;
    ui.SetMessage("Installeren benodigdheden");
    EXPECT_EQ(InstallPrerequisites(ui), c.success);

    EXPECT_EQ(Sandbox::ReadFile(sandbox.Root() / "setups.log"), c.setupsRun);
    std::string boxes;
    for (const auto& box : ui.MessageBoxes()) {
      boxes += box.text;
      EXPECT_EQ(box.caption, "");
      EXPECT_EQ(box.icon, platform::MessageIcon::kNone);
      EXPECT_EQ(box.buttons, platform::MessageButtons::kOk);
    }
    EXPECT_EQ(boxes, c.messageBoxes);
    EXPECT_EQ(ui.Message(), std::string("Installeren benodigdheden") + c.appended);
    if (c.success) {
      EXPECT_TRUE(ui.Colours().empty());
    } else {
      EXPECT_EQ(ui.Colours(), std::vector<std::uint32_t>{kRed});
      EXPECT_EQ(ui.ProgressRange(), 1);
      EXPECT_EQ(ui.Position(), 1);
    }
  }
}

}  // namespace
}  // namespace korvant
