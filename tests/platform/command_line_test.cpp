#include "platform/linux/command_line.h"

#include <gtest/gtest.h>

#include <array>

namespace korvant::platform {
namespace {

struct SplitCase {
  const char* name;
  std::string_view line;
  std::vector<std::string> words;
};

const std::array kCases = {
    SplitCase{"program alone", "Powershell", {"Powershell"}},
    SplitCase{"blanks and tabs separate", "a  b\tc", {"a", "b", "c"}},
    SplitCase{"quoted program name keeps blanks and backslashes",
              R"("C:\Program Files\x\" arg)",
              {R"(C:\Program Files\x\)", "arg"}},
    SplitCase{"quotes group an argument", R"(p "one two" three)", {"p", "one two", "three"}},
    SplitCase{"backslash quote is a literal quote", R"(p a\"b)", {"p", R"(a"b)"}},
    SplitCase{"two backslashes and a quote give one backslash and toggle",
              R"(p "a\\" b)",
              {"p", R"(a\)", "b"}},
    SplitCase{"three backslashes and a quote", R"(p a\\\"b)", {"p", R"(a\"b)"}},
    SplitCase{
        "backslashes before other characters are literal", R"(p C:\\x\y)", {"p", R"(C:\\x\y)"}},
    SplitCase{"doubled quote inside quotes is a literal quote", R"(p "a""b")", {"p", R"(a"b)"}},
    SplitCase{"empty quoted argument", R"(p "" x)", {"p", "", "x"}},
    SplitCase{"trailing blanks make no argument", "p a   ", {"p", "a"}},
    SplitCase{
        "the folder command as the program sends it",
        R"(Powershell -WindowStyle Normal -Command "New-Item -ItemType Directory -Path "C:\\" -Name Korvant")",
        {"Powershell", "-WindowStyle", "Normal", "-Command",
         R"(New-Item -ItemType Directory -Path C:\ -Name Korvant)"}},
    SplitCase{
        "the archive command with escaped quotes",
        R"(Powershell -WindowStyle Normal -Command "Compress-Archive -Path \"C:\X\pdf\*\" -DestinationPath \"C:\X\pdf.zip\" -CompressionLevel NoCompression -Force")",
        {"Powershell", "-WindowStyle", "Normal", "-Command",
         R"(Compress-Archive -Path "C:\X\pdf\*" -DestinationPath "C:\X\pdf.zip" -CompressionLevel NoCompression -Force)"}},
};

TEST(SplitWindowsCommandLine, FollowsWindowsRules) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitWindowsCommandLine(c.line), c.words);
  }
}

}  // namespace
}  // namespace korvant::platform
