#include "migrate/find_installation.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "platform/recording/recording_ui.h"
#include "shared/colours.h"
#include "shared/program_globals.h"
#include "support/sandbox.h"

namespace korvant {
namespace {

using platform::MessageButton;

constexpr const char* kQuestionTail = "\"|Wilt u deze gebruiken?";

struct SearchCase {
  const char* name;
  std::vector<int> existing;  // candidate numbers 1 to 4 that exist
  std::vector<MessageButton> answers;
  std::optional<std::string> dialogAnswer;  // asked only when no location is accepted
  std::vector<std::string> shownPaths;      // in the questions, in order
  bool dialogShown;
  std::string result;
};

TEST(FindInstallation, OffersKnownLocationsThenTheFileDialog) {
  const std::array cases = {
      SearchCase{"only location 4, accepted",
                 {4},
                 {MessageButton::kYes},
                 std::nullopt,
                 {R"(C:\BrindleHollows\Tarvo\Tarvo.exe)"},
                 false,
                 R"(C:\BrindleHollows\Tarvo\Tarvo.exe)"},
      SearchCase{"remote location shown on C: and returned as stored",
                 {1},
                 {MessageButton::kYes},
                 std::nullopt,
                 {R"(C:\Marquelstan\Software\Tarvo.exe)"},
                 false,
                 R"(\\TSCLIENT\C\Marquelstan\Software\Tarvo.exe)"},
      SearchCase{"first refused, second offered",
                 {1, 2},
                 {MessageButton::kNo, MessageButton::kYes},
                 std::nullopt,
                 {R"(C:\Marquelstan\Software\Tarvo.exe)", R"(C:\Marquelstan\Software\Tarvo.exe)"},
                 false,
                 R"(C:\Marquelstan\Software\Tarvo.exe)"},
      SearchCase{"every location refused: the dialog decides",
                 {2, 3},
                 {MessageButton::kNo, MessageButton::kNo},
                 std::string(R"(D:\Apps\Tarvo\Tarvo.exe)"),
                 {R"(C:\Marquelstan\Software\Tarvo.exe)", R"(C:\BrindleHollows\Tarvo\Tarvo.exe)"},
                 true,
                 R"(D:\Apps\Tarvo\Tarvo.exe)"},
      SearchCase{"nothing exists and the dialog is cancelled", {}, {}, std::nullopt, {}, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::Sandbox sandbox;
    InitialiseGlobals("/korvant/KorvantUploader");
    for (const int number : c.existing) {
      sandbox.WriteFile(Globals().CandidatePaths[number - 1].Clip(), "exe");
    }
    platform::RecordingUserInterface ui;
    for (const auto answer : c.answers) ui.AnswerMessageBox(answer);
    ui.AnswerOpenFile(c.dialogAnswer);

    EXPECT_EQ(FindInstallation(ui).Clip(), c.result);

    ASSERT_EQ(ui.MessageBoxes().size(), c.shownPaths.size());
    for (std::size_t i = 0; i < c.shownPaths.size(); ++i) {
      const auto& box = ui.MessageBoxes()[i];
      EXPECT_EQ(box.text, "Installatie gevonden in: \"" + c.shownPaths[i] + kQuestionTail);
      EXPECT_EQ(box.caption, "Installatie gevonden");
      EXPECT_EQ(box.icon, platform::MessageIcon::kQuestion);
      EXPECT_EQ(box.buttons, platform::MessageButtons::kYesNo);
      EXPECT_EQ(box.defaultButton, MessageButton::kNo);
      EXPECT_TRUE(box.systemModal);
    }
    if (c.dialogShown) {
      ASSERT_EQ(ui.OpenFileRequests().size(), 1u);
      EXPECT_EQ(ui.OpenFileRequests()[0].title, "Selecteer uw Tarvo.exe in de installatie folder");
      EXPECT_EQ(ui.OpenFileRequests()[0].filter, "Tarvo.exe | *.exe");
      EXPECT_EQ(ui.OpenFileRequests()[0].initialName, "H:\\");
      EXPECT_EQ(ui.Colours(), std::vector<std::uint32_t>{kYellow});
    } else {
      EXPECT_TRUE(ui.OpenFileRequests().empty());
      EXPECT_TRUE(ui.Colours().empty());
    }
  }
}

TEST(FindInstallation, StepsThePositionThroughEveryLocation) {
  testing::Sandbox sandbox;
  InitialiseGlobals("/korvant/KorvantUploader");
  sandbox.WriteFile(Globals().CandidatePaths[3].Clip(), "exe");
  platform::RecordingUserInterface ui;
  ui.AnswerMessageBox(MessageButton::kYes);
  FindInstallation(ui);
  const auto& log = ui.Log();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
            (std::vector<std::string>{"position: 1", "position: 2", "position: 3", "position: 4"}));
  EXPECT_EQ(log[4].rfind("messagebox: Installatie gevonden", 0), 0u);
}

}  // namespace
}  // namespace korvant
