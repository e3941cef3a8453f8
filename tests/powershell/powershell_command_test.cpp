#include "platform/linux/powershell/powershell_command.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string_view>

#include "platform/linux/powershell/powershell_cmdlets.h"
#include "support/sandbox.h"

namespace korvant::powershell {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

TEST(PowershellInvocation, CommandTextIsEverythingAfterCommand) {
  const auto invocation =
      ReadInvocation({"-WindowStyle", "Normal", "-Command", "New-Item", "-Name", "x"});
  ASSERT_TRUE(invocation.commandText);
  EXPECT_EQ(*invocation.commandText, "New-Item -Name x");
  EXPECT_FALSE(ReadInvocation({"-WindowStyle", "Normal"}).commandText);
  EXPECT_FALSE(ReadInvocation({"-Bogus", "-Command", "x"}).commandText);
}

TEST(PowershellParse, QuotesEscapesAndParameters) {
  const auto parsed = ParseCommand(
      "Compress-Archive -Path \"C:\\My \"\"Data\"\"\\*\" -DestinationPath:'C:\\it''s.zip' "
      "-compressionlevel NoCompression -Force");
  ASSERT_TRUE(parsed.command) << parsed.error;
  const Command& command = *parsed.command;
  EXPECT_EQ(command.name, "Compress-Archive");
  ASSERT_EQ(command.named.size(), 4u);
  EXPECT_EQ(command.named[0].value, "C:\\My \"Data\"\\*");
  EXPECT_EQ(command.named[1].name, "DestinationPath");
  EXPECT_EQ(command.named[1].value, "C:\\it's.zip");
  EXPECT_EQ(command.named[2].value, "NoCompression");
  EXPECT_FALSE(command.named[3].value);
}

TEST(PowershellParse, ParameterNamesMatchByUniqueBeginning) {
  const std::vector<std::string_view> names = {"Path", "LiteralPath", "DestinationPath", "Force"};
  EXPECT_EQ(MatchParameter("dest", names), "DestinationPath");
  EXPECT_EQ(MatchParameter("PATH", names), "Path");
  EXPECT_EQ(MatchParameter("x", names), std::nullopt);
}

struct RefusalCase {
  std::string_view name;
  std::string_view command;
};

// Commands the stand-in must refuse, touching nothing.
constexpr std::array kRefusals = {
    RefusalCase{"UnknownCommand", "Remove-Item -Path \"C:\\Data\" -Recurse"},
    RefusalCase{"Empty", "   "},
    RefusalCase{"UnterminatedString", "New-Item -ItemType Directory -Path \"C:\\ -Name New"},
    RefusalCase{"SecondStatement", "New-Item -ItemType Directory -Path C:\\ -Name New; rm x"},
    RefusalCase{"Pipeline", "New-Item -ItemType Directory -Path C:\\ -Name New | Out-Null"},
    RefusalCase{"VariableInString", "New-Item -ItemType Directory -Path \"$env:TEMP\" -Name New"},
    RefusalCase{"UnknownParameter", "New-Item -ItemType Directory -Path C:\\ -Name New -Bogus"},
    RefusalCase{"PositionalArgument", "New-Item C:\\New -ItemType Directory"},
    RefusalCase{"FileItem", "New-Item -ItemType File -Path C:\\ -Name New"},
    RefusalCase{"MissingValue", "New-Item -ItemType Directory -Name"},
    RefusalCase{"CompressUpdate",
                "Compress-Archive -Path \"C:\\Data\\*\" -DestinationPath \"C:\\New.zip\" -Update"},
    RefusalCase{"CompressOtherExtension",
                "Compress-Archive -Path \"C:\\Data\\*\" -DestinationPath \"C:\\New.rar\""},
    RefusalCase{"CompressBadLevel",
                "Compress-Archive -Path \"C:\\Data\\*\" -DestinationPath \"C:\\New.zip\" "
                "-CompressionLevel Maximum"},
    RefusalCase{"CompressMissingSource",
                "Compress-Archive -Path \"C:\\Nothing\\*\" -DestinationPath \"C:\\New.zip\""},
    RefusalCase{"CompressEmptyFolder",
                "Compress-Archive -Path \"C:\\Empty\\*\" -DestinationPath \"C:\\New.zip\" -Force"},
    RefusalCase{"CompressIntoMissingFolder",
                "Compress-Archive -Path \"C:\\Data\\*\" -DestinationPath \"C:\\New\\a.zip\""},
    RefusalCase{"ExpandMissingArchive",
                "Expand-Archive -Path \"C:\\Nothing.zip\" -DestinationPath \"C:\\New\" -Force"},
    RefusalCase{"ExpandNoZip",
                "Expand-Archive -Path \"C:\\Data\\a.txt\" -DestinationPath \"C:\\New\" -Force"},
    RefusalCase{"ExpandNotAnArchive",
                "Expand-Archive -Path \"C:\\Data\\fake.zip\" -DestinationPath \"C:\\New\""},
};

// Every name below the drives folder, with the content of each file.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> seen;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    seen[fs::relative(entry.path(), root).string()] =
        entry.is_regular_file() ? Sandbox::ReadFile(entry.path()) : "<folder>";
  }
  return seen;
}

TEST(PowershellRefusals, ExitOneWithAMessageAndNothingTouched) {
  for (const auto& c : kRefusals) {
    SCOPED_TRACE(c.name);
    Sandbox sandbox;
    sandbox.WriteFile("C:\\Data\\a.txt", "a");
    sandbox.WriteFile("C:\\Data\\fake.zip", "no archive");
    fs::create_directories(sandbox.Host("C:\\Empty"));
    const auto before = Snapshot(sandbox.Drives());
    std::string errors;
    EXPECT_EQ(RunCommandText(c.command, errors), 1);
    EXPECT_FALSE(errors.empty());
    EXPECT_EQ(errors.back(), '\n');
    EXPECT_EQ(Snapshot(sandbox.Drives()), before);
  }
}

struct NewItemCase {
  std::string_view name;
  std::string_view command;
  int exitCode;
};

constexpr std::array kNewItemCases = {
    // What the command line leaves of the program's command: the path unquoted, one backslash.
    NewItemCase{"ProgramsForm", "New-Item -ItemType Directory -Path C:\\ -Name Korvant", 0},
    NewItemCase{"Quoted", "new-item -itemtype directory -path \"C:\\\" -name 'Korvant'", 0},
    NewItemCase{"PathOnly", "New-Item -ItemType Directory -Path C:\\Korvant", 0},
    NewItemCase{"Exists", "New-Item -ItemType Directory -Path C:\\ -Name Existing", 1},
    NewItemCase{"ExistsWithForce", "New-Item -ItemType Directory -Path C:\\ -Name Existing -Force",
                0},
    NewItemCase{"FileOfThatName", "New-Item -ItemType Directory -Path C:\\ -Name File -Force", 1},
    NewItemCase{"ParentMissing", "New-Item -ItemType Directory -Path C:\\No\\Such -Name Korvant",
                1},
};

TEST(PowershellNewItem, MakesOneFolder) {
  for (const auto& c : kNewItemCases) {
    SCOPED_TRACE(c.name);
    Sandbox sandbox;
    fs::create_directories(sandbox.Host("C:\\Existing"));
    sandbox.WriteFile("C:\\File", "x");
    std::string errors;
    EXPECT_EQ(RunCommandText(c.command, errors), c.exitCode) << errors;
    if (c.exitCode == 0 && c.name != "ExistsWithForce") {
      EXPECT_TRUE(fs::is_directory(sandbox.Host("C:\\Korvant")));
    }
    EXPECT_FALSE(fs::exists(sandbox.Host("C:\\No")));
  }
}

}  // namespace
}  // namespace korvant::powershell
