#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <string>

#include "migrate/archive_commands.h"
#include "migrate/folder_copy.h"
#include "migrate/powershell_runner.h"
#include "migrate/system_error_text.h"
#include "migrate/text_tests.h"
#include "platform/process.h"
#include "platform/recording/recording_ui.h"
#include "support/sandbox.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

// PATH holds the built stand-in, or not, for one test.
class PathWith {
 public:
  explicit PathWith(bool powershell) {
    if (const char* path = getenv("PATH")) saved_ = path;
    setenv("PATH", powershell ? testing::BuiltProgramsFolder().c_str() : "/nonexistent", 1);
  }
  ~PathWith() { setenv("PATH", saved_.c_str(), 1); }

 private:
  std::string saved_;
};

TEST(PowerShellCommandLine, ExactFormsOfTheProgram) {
  EXPECT_EQ(CompressArchiveCommand("C:\\X\\pdf\\*", "C:\\X\\pdf.zip"),
            "Compress-Archive -Path \\\"C:\\X\\pdf\\*\\\" -DestinationPath \\\"C:\\X\\pdf.zip\\\" "
            "-CompressionLevel NoCompression -Force");
  EXPECT_EQ(PowerShellCommandLine("New-Item -ItemType Directory -Path \"C:\\\\\" -Name Korvant"),
            "Powershell -WindowStyle Normal -Command \"New-Item -ItemType Directory -Path "
            "\"C:\\\\\" -Name Korvant\"");
  // A folder that ends in a backslash keeps its closing quote on the command line.
  EXPECT_EQ(ExpandArchiveCommand("C:\\T\\data.zip", "C:\\T\\data\\"),
            "Expand-Archive -Path \\\"C:\\T\\data.zip\\\" -DestinationPath \\\"C:\\T\\data\\\\\\\" "
            "-Force");
}

TEST(PowerShellCommandLine, CutAt1024Characters) {
  const std::string line = PowerShellCommandLine(std::string(2000, 'x'));
  EXPECT_EQ(line.size(), 1024u);
  EXPECT_EQ(line.substr(0, 41), "Powershell -WindowStyle Normal -Command \"");
  EXPECT_EQ(PowerShellCommandLine(std::string(982, 'x')).size(), 1024u);  // just fits, with DQ
  EXPECT_EQ(PowerShellCommandLine(std::string(982, 'x')).back(), '"');
}

TEST(RunPowerShell, RunsTheStandInAndReportsItsExitCode) {
  Sandbox sandbox;
  PathWith path(true);
  fs::create_directories(sandbox.Host("C:\\"));  // the drive
  EXPECT_EQ(RunPowerShell("New-Item -ItemType Directory -Path \"C:\\\\\" -Name Korvant"), 0);
  EXPECT_TRUE(fs::is_directory(sandbox.Host("C:\\Korvant")));
  EXPECT_EQ(RunPowerShell("New-Item -ItemType Directory -Path \"C:\\\\\" -Name Korvant"), 1);
}

TEST(RunPowerShell, MissingPowerShellIsAStartFailure) {
  Sandbox sandbox;
  PathWith path(false);
  EXPECT_EQ(RunPowerShell("New-Item -ItemType Directory -Path \"C:\\\\\" -Name Korvant"),
            platform::kStartFailed);
  EXPECT_FALSE(fs::exists(sandbox.Host("C:\\Korvant")));
}

TEST(ArchiveCommands, CompressFolderAndExpandBesideThroughTheStandIn) {
  Sandbox sandbox;
  PathWith path(true);
  platform::RecordingUserInterface ui;
  sandbox.WriteFile("C:\\X\\pdf\\a.pdf", "pdf a");
  sandbox.WriteFile("C:\\X\\pdf\\sub\\b.pdf", "pdf b");
  EXPECT_EQ(CompressFolder(ui, "C:\\X\\pdf"), "C:\\X\\pdf.zip");
  ASSERT_TRUE(fs::exists(sandbox.Host("C:\\X\\pdf.zip")));
  fs::rename(sandbox.Host("C:\\X\\pdf.zip"), sandbox.Host("C:\\X\\copy.zip"));
  EXPECT_EQ(ExpandZipBeside(ui, "C:\\X\\copy.zip"), "C:\\X\\copy\\");
  EXPECT_EQ(Sandbox::ReadFile(sandbox.Host("C:\\X\\copy\\sub\\b.pdf")), "pdf b");
  EXPECT_TRUE(ui.MessageBoxes().empty());
}

TEST(ArchiveCommands, FailuresShowTheirMessageBox) {
  Sandbox sandbox;
  PathWith path(true);
  platform::RecordingUserInterface ui;
  EXPECT_EQ(CompressArchive(ui, "C:\\Leeg\\*", "C:\\Leeg.zip"), "C:\\Leeg.zip");
  EXPECT_EQ(ExpandArchive(ui, "C:\\Geen.zip", "C:\\Uit"), "C:\\Uit");
  ASSERT_EQ(ui.MessageBoxes().size(), 2u);
  EXPECT_EQ(ui.MessageBoxes()[0].text,
            "Compression of \"C:\\Leeg\\*\" to \"C:\\Leeg.zip\" failed...");
  EXPECT_EQ(ui.MessageBoxes()[1].text, "Extraction of \"C:\\Geen.zip\" to \"C:\\Uit\" failed...");
  for (const auto& box : ui.MessageBoxes()) {
    EXPECT_EQ(box.caption, "");
    EXPECT_EQ(box.icon, platform::MessageIcon::kNone);
    EXPECT_EQ(box.buttons, platform::MessageButtons::kOk);
  }
}

class CopyFolderViaArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_.WriteFile("C:\\Marquelstan\\Software\\data\\klant.dat", "klanten");
    sandbox_.WriteFile("C:\\Marquelstan\\Software\\data\\2024\\boek.dat", "boekingen");
    // The user's own file of the name the archive once had: it must survive untouched.
    userZip_ = sandbox_.WriteFile("C:\\Marquelstan\\Software\\data.zip", "the user's own zip");
  }

  // Every name in the installation, to show it was only read.
  std::vector<std::string> Installation() const {
    std::vector<std::string> names;
    const auto root = sandbox_.Host("C:\\Marquelstan");
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      names.push_back(fs::relative(entry.path(), root).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  Sandbox sandbox_;
  fs::path userZip_;
  platform::RecordingUserInterface ui_;
};

TEST_F(CopyFolderViaArchiveTest, WithPowerShellStagesOneArchiveAndLeavesTheSourceAlone) {
  PathWith path(true);
  const auto before = Installation();
  EXPECT_EQ(CopyFolderViaArchive(ui_, 0, "C:\\Marquelstan\\Software\\data",
                                 "C:\\Korvant\\.transfer\\data"),
            0);
  EXPECT_TRUE(fs::is_regular_file(sandbox_.Host("C:\\Korvant\\.transfer\\data.zip")));
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Korvant\\.transfer\\data")));
  // Nothing else is left in the staging folder: no intermediate archive.
  EXPECT_EQ(std::distance(fs::directory_iterator(sandbox_.Host("C:\\Korvant\\.transfer")),
                          fs::directory_iterator()),
            1);
  EXPECT_EQ(Installation(), before);
  EXPECT_EQ(Sandbox::ReadFile(userZip_), "the user's own zip");
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(CopyFolderViaArchiveTest, ExpandedCopyReplacesTheArchiveByTheFolder) {
  PathWith path(true);
  EXPECT_EQ(CopyFolderViaArchive(ui_, 1, "C:\\Marquelstan\\Software\\data", "C:\\Kopie\\data"), 0);
  EXPECT_EQ(Sandbox::ReadFile(sandbox_.Host("C:\\Kopie\\data\\2024\\boek.dat")), "boekingen");
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Kopie\\data.zip")));
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(CopyFolderViaArchiveTest, WithoutPowerShellCopiesTheFolderDirectly) {
  PathWith path(false);
  const auto before = Installation();
  EXPECT_EQ(CopyFolderViaArchive(ui_, 0, "C:\\Marquelstan\\Software\\data",
                                 "C:\\Korvant\\.transfer\\data"),
            0);
  ASSERT_EQ(ui_.MessageBoxes().size(), 1u);
  EXPECT_EQ(
      ui_.MessageBoxes()[0].text.rfind("Compression of \"C:\\Marquelstan\\Software\\data\\*\"", 0),
      0u);
  EXPECT_EQ(Sandbox::ReadFile(sandbox_.Host("C:\\Korvant\\.transfer\\data\\klant.dat")), "klanten");
  EXPECT_EQ(Sandbox::ReadFile(sandbox_.Host("C:\\Korvant\\.transfer\\data\\2024\\boek.dat")),
            "boekingen");
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Korvant\\.transfer\\data.zip")));
  EXPECT_EQ(Installation(), before);
}

TEST(SystemErrorText, CodesToOneLine) {
  EXPECT_EQ(SystemErrorText(0), "");
  EXPECT_EQ(SystemErrorText(2), "The system cannot find the file specified.");
  EXPECT_EQ(SystemErrorText(5), "Access is denied.");
  EXPECT_EQ(SystemErrorText(123456), "");
  EXPECT_EQ(SystemErrorText(-1), "");
}

struct AffixCase {
  std::string_view text;
  std::string_view affix;
  int startsWith;
  int endsWith;
};

constexpr std::array kAffixCases = {
    AffixCase{"\\\\TSCLIENT\\C\\Marquelstan", "\\\\tsclient\\C\\", 1, 0},
    AffixCase{"ab", "xab", 0, 0},
    AffixCase{"C:\\Data\\*.*", "*.*", 0, 1},
    AffixCase{"C:\\Data\\*", "*.*", 0, 0},
    AffixCase{"Tarvo.EXE   ", "tarvo.exe", 1, 1},
    AffixCase{"Kopi\xEBren", "KOPI\xCB", 1, 0},  // Windows-1252 letters too
    AffixCase{"anything", "", 1, 1},
    AffixCase{"", "x", 0, 0},
};

TEST(TextTests, PrefixAndSuffixIgnoringCase) {
  for (const auto& c : kAffixCases) {
    SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.affix));
    EXPECT_EQ(StartsWithText(c.text, c.affix), c.startsWith);
    EXPECT_EQ(EndsWithText(c.text, c.affix), c.endsWith);
  }
}

}  // namespace
}  // namespace korvant
