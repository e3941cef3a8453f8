#include "migrate/shell_copy.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "support/sandbox.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

struct ShellCopyCase {
  std::string_view name;
  std::string_view source;
  std::string_view destination;
  int result;
  std::vector<std::pair<std::string_view, std::string_view>> present;  // path, content
  std::vector<std::string_view> absent;
};

const std::string kLongPath = "C:\\" + std::string(252, 'x');

const std::array kShellCopyCases = {
    ShellCopyCase{"FileToNewNameInMissingFolders",
                  "C:\\Korvant\\Tarvo.lnk",
                  "C:\\Users\\Public\\Desktop\\Tarvo-Cloud.lnk",
                  0,
                  {{"C:\\Users\\Public\\Desktop\\Tarvo-Cloud.lnk", "shortcut"}},
                  {"C:\\Users\\Public\\Desktop\\Tarvo.lnk"}},
    ShellCopyCase{"ExistingFileReplacedWithoutAsking",
                  "C:\\Korvant\\Tarvo.lnk",
                  "C:\\Desktop\\Old.lnk",
                  0,
                  {{"C:\\Desktop\\Old.lnk", "shortcut"}},
                  {}},
    ShellCopyCase{"FileIntoAnExistingFolder",
                  "C:\\Korvant\\Tarvo.lnk",
                  "C:\\Desktop",
                  0,
                  {{"C:\\Desktop\\Tarvo.lnk", "shortcut"}},
                  {}},
    ShellCopyCase{"FolderToNewFolder",
                  "C:\\Src",
                  "C:\\Dst",
                  0,
                  {{"C:\\Dst\\a.txt", "a"}, {"C:\\Dst\\sub\\c.txt", "c"}},
                  {"C:\\Dst\\Src"}},
    ShellCopyCase{"FolderIntoAnExistingFolder",
                  "C:\\Src",
                  "C:\\Desktop",
                  0,
                  {{"C:\\Desktop\\Src\\sub\\c.txt", "c"}},
                  {}},
    ShellCopyCase{"StarCopiesContentsRecursively",
                  "C:\\Src\\*",
                  "C:\\Korvant\\.transfer\\data",
                  0,
                  {{"C:\\Korvant\\.transfer\\data\\a.txt", "a"},
                   {"C:\\Korvant\\.transfer\\data\\sub\\c.txt", "c"}},
                  {}},
    ShellCopyCase{"StarDotStarCopiesOnlyTheFolderOwnFiles",
                  "C:\\Src\\*.*",
                  "C:\\Dst",
                  0,
                  {{"C:\\Dst\\a.txt", "a"}, {"C:\\Dst\\noext", "n"}},
                  {"C:\\Dst\\sub"}},
    ShellCopyCase{"PatternSelectsFiles",
                  "C:\\Src\\*.TXT",
                  "C:\\Dst",
                  0,
                  {{"C:\\Dst\\a.txt", "a"}},
                  {"C:\\Dst\\noext", "C:\\Dst\\sub"}},
    ShellCopyCase{"MissingFile", "C:\\Src\\none.txt", "C:\\Dst\\x", 2, {}, {"C:\\Dst"}},
    ShellCopyCase{"MissingPath", "C:\\None\\x.txt", "C:\\Dst\\x", 3, {}, {"C:\\Dst"}},
    ShellCopyCase{"WildcardInMissingFolder", "C:\\None\\*", "C:\\Dst", 3, {}, {"C:\\Dst"}},
    ShellCopyCase{"FolderIntoItself", "C:\\Src", "C:\\Src\\sub\\deeper", 87, {}, {}},
    ShellCopyCase{"PathLongerThanTheShellTakes", "C:\\Korvant\\Tarvo.lnk", kLongPath, 206, {}, {}},
};

TEST(ShellCopy, Cases) {
  for (const auto& c : kShellCopyCases) {
    SCOPED_TRACE(c.name);
    Sandbox sandbox;
    sandbox.WriteFile("C:\\Korvant\\Tarvo.lnk", "shortcut");
    sandbox.WriteFile("C:\\Desktop\\Old.lnk", "old");
    sandbox.WriteFile("C:\\Src\\a.txt", "a");
    sandbox.WriteFile("C:\\Src\\noext", "n");
    sandbox.WriteFile("C:\\Src\\sub\\c.txt", "c");
    EXPECT_EQ(ShellCopy(c.source, c.destination), c.result);
    for (const auto& [path, content] : c.present) {
      EXPECT_EQ(Sandbox::ReadFile(sandbox.Host(path)), content) << path;
    }
    for (const auto& path : c.absent) EXPECT_FALSE(fs::exists(sandbox.Host(path))) << path;
    EXPECT_EQ(Sandbox::ReadFile(sandbox.Host("C:\\Src\\a.txt")), "a");  // sources only read
  }
}

TEST(ShellCopy, CopiedFileKeepsItsTime) {
  Sandbox sandbox;
  const auto source = sandbox.WriteFile("C:\\Korvant\\Tarvo.lnk", "shortcut");
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(source, old);
  ASSERT_EQ(ShellCopy("C:\\Korvant\\Tarvo.lnk", "C:\\Desktop\\Tarvo-Cloud.lnk"), 0);
  EXPECT_EQ(fs::last_write_time(sandbox.Host("C:\\Desktop\\Tarvo-Cloud.lnk")), old);
}

}  // namespace
}  // namespace korvant
