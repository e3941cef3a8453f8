#include "app/install_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>

#include "app/program_entry.h"
#include "platform/recording/recording_ui.h"
#include "shared/program_globals.h"
#include "support/sandbox.h"
#include "support/unprivileged.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using platform::RecordingUserInterface;
using platform::WindowId;

// The hand-off observed: what it would sleep and start, instead of doing it.
struct ObservedHandOff {
  std::vector<std::uint32_t> sleeps;
  std::vector<std::string> starts;
  HandOffActions Actions() {
    return {[this](std::uint32_t ms) { sleeps.push_back(ms); },
            [this](std::string_view line) { starts.emplace_back(line); }};
  }
};

// What the window showed when the workflow began, and a way to end it as a workflow would.
struct WorkflowProbe {
  std::string messageAtStart = "(not run)";
  int rangeAtStart = -1;
  std::string transferFolder;
  bool closeDown = true;
  Workflow Run() {
    return [this](InstallSession& session, platform::UserInterface& ui) {
      messageAtStart = ui.Message();
      rangeAtStart = ui.ProgressRange();
      transferFolder = session.TransferFolder.Clip();
      if (closeDown) ui.PostCloseDown();
    };
  }
};

struct HandOffCase {
  const char* name;
  std::vector<std::string> arguments;
  std::uint32_t sleep;
};

TEST(InstallSearch, HandOffWaitsThenStartsTheProgramWithoutWindowOrPlacement) {
  const std::array cases = {
      HandOffCase{"upper case, default delay", {"INSTALLER"}, 1000},
      HandOffCase{"lower case", {"installer"}, 1000},
      HandOffCase{"blank delay", {"INSTALLER", "  "}, 1000},
      HandOffCase{"no delay", {"INSTALLER", "0"}, 0},
      HandOffCase{"decimal delay", {"INSTALLER", "2.5"}, 2500},
      HandOffCase{"truncated toward zero", {"Installer", "0.0019"}, 1},
      HandOffCase{"negative delay waits nothing", {"INSTALLER", "-3"}, 0},
      HandOffCase{"non-numeric delay waits nothing", {"INSTALLER", "soon"}, 0},
      HandOffCase{"trailing blanks of the mode ignored", {"INSTALLER  ", "1"}, 1000},
  };
  testing::Sandbox sandbox;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingUserInterface ui;
    ObservedHandOff handOff;
    WorkflowProbe workflow;
    EXPECT_EQ(ProgramEntry(ui, c.arguments, workflow.Run(), handOff.Actions()), 0);
    EXPECT_EQ(handOff.sleeps, std::vector<std::uint32_t>{c.sleep});
    ASSERT_EQ(handOff.starts.size(), 1u);
    EXPECT_EQ(handOff.starts[0], "\"" + Globals().ProgramPath + "\"");
    EXPECT_TRUE(ui.Log().empty()) << "no window in hand-off mode";
    EXPECT_EQ(workflow.messageAtStart, "(not run)");
  }
  // The placement is neither read nor written; only the INI manager's own count is.
  EXPECT_EQ(testing::Sandbox::ReadFile("KorvantUploader.INI"),
            "[__Dont_Touch_Me__]\r\nSectors=0\r\n");
}

TEST(InstallSearch, OtherArgumentsOpenTheWindowAndRunTheWorkflowOnce) {
  testing::Sandbox sandbox;
  for (const auto& arguments :
       {std::vector<std::string>{}, {"INSTALLER2"}, {"setup", "INSTALLER"}}) {
    RecordingUserInterface ui;
    ObservedHandOff handOff;
    WorkflowProbe workflow;
    ProgramEntry(ui, arguments, workflow.Run(), handOff.Actions());
    EXPECT_TRUE(handOff.starts.empty());
    EXPECT_EQ(ui.Log().front(), "open: Window");
    EXPECT_EQ(workflow.messageAtStart, "");
    EXPECT_EQ(workflow.rangeAtStart, 4);
    EXPECT_EQ(workflow.transferFolder, "C:\\Korvant\\.transfer");
    EXPECT_EQ(ui.Log().back(), "destroy");
  }
}

TEST(InstallSearch, FirstRunInAFreshFolderWritesThePlacement) {
  testing::Sandbox sandbox;
  RecordingUserInterface ui;
  WorkflowProbe workflow;
  ui.SetPlacementAtClose(WindowId::kProgress, {false, false, 12, 34, 300, 120, true});
  ProgramEntry(ui, {}, workflow.Run());
  EXPECT_EQ(testing::Sandbox::ReadFile("KorvantUploader.INI"),
            "[InstallSearch]\r\nMaximize=No\r\nMinimize=No\r\nXPos=12\r\nYPos=34\r\n"
            "Width=300\r\nHeight=120\r\n[__Dont_Touch_Me__]\r\nSectors=0\r\n");
}

TEST(InstallSearch, ClosedWhileMaximizedKeepsNoPositionAndOpensMaximizedNextTime) {
  testing::Sandbox sandbox;
  {
    RecordingUserInterface ui;
    WorkflowProbe workflow;
    ui.SetPlacementAtClose(WindowId::kProgress, {false, false, 12, 34, 300, 120, true});
    ProgramEntry(ui, {}, workflow.Run());
  }
  {
    RecordingUserInterface ui;
    WorkflowProbe workflow;
    workflow.closeDown = false;  // a failed run: the user closes the window
    ui.SetPlacementAtClose(WindowId::kProgress, {true, false, 0, 0, 300, 120, true});
    ProgramEntry(ui, {}, workflow.Run());
  }
  EXPECT_EQ(testing::Sandbox::ReadFile("KorvantUploader.INI"),
            "[InstallSearch]\r\nMaximize=Yes\r\nMinimize=No\r\n"
            "[__Dont_Touch_Me__]\r\nSectors=0\r\n");
  RecordingUserInterface ui;
  WorkflowProbe workflow;
  ProgramEntry(ui, {}, workflow.Run());
  EXPECT_TRUE(ui.RestoredPlacement(WindowId::kProgress).maximized);
}

TEST(InstallSearch, TheIniFileIsTheCurrentFoldersOne) {
  testing::Sandbox sandbox;
  fs::create_directories("elsewhere");
  fs::current_path("elsewhere");
  RecordingUserInterface ui;
  WorkflowProbe workflow;
  ProgramEntry(ui, {}, workflow.Run());
  EXPECT_TRUE(fs::exists("KorvantUploader.INI"));
  EXPECT_FALSE(fs::exists("../KorvantUploader.INI"));
}

TEST(InstallSearch, AReadOnlyFolderSilentlyKeepsNothing) {
  testing::Sandbox sandbox;
  // Everyone may pass through the sandbox; nobody may write into the current folder.
  fs::permissions(sandbox.Root(), fs::perms::all);
  fs::permissions(fs::current_path(), fs::perms::owner_read | fs::perms::owner_exec |
                                          fs::perms::others_read | fs::perms::others_exec);
  const int ranAtRange = testing::RunUnprivileged([] {
    RecordingUserInterface ui;
    WorkflowProbe workflow;
    ProgramEntry(ui, {}, workflow.Run());
    return workflow.rangeAtStart;
  });
  EXPECT_EQ(ranAtRange, 4);
  EXPECT_FALSE(fs::exists("KorvantUploader.INI"));
}

TEST(InstallSearch, AWindowThatCannotOpenRunsNoWorkflowAndSavesNothing) {
  testing::Sandbox sandbox;
  RecordingUserInterface ui;
  ui.FailWindowOpening();
  WorkflowProbe workflow;
  ProgramEntry(ui, {}, workflow.Run());
  EXPECT_EQ(workflow.messageAtStart, "(not run)");
  EXPECT_EQ(testing::Sandbox::ReadFile("KorvantUploader.INI"),
            "[__Dont_Touch_Me__]\r\nSectors=0\r\n");
}

}  // namespace
}  // namespace korvant
