#include "shared/windows1252.h"

#include <gtest/gtest.h>

#include <array>

namespace korvant {
namespace {

struct ConversionCase {
  const char* name;
  std::string_view windows1252;
  std::string_view utf8;
};

constexpr std::array kConversions = {
    ConversionCase{"ascii", "Tarvo.exe", "Tarvo.exe"},
    ConversionCase{"latin letter", "Kopi\xEBren", "Kopi\xC3\xABren"},
    ConversionCase{"euro sign from the 0x80 row", "\x80", "\xE2\x82\xAC"},
    ConversionCase{"undefined byte kept as its control", "\x81", "\xC2\x81"},
    ConversionCase{"curly quotes", "\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},
};

TEST(Windows1252, ConvertsBothWays) {
  for (const auto& c : kConversions) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Windows1252ToUtf8(c.windows1252), c.utf8);
    EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.windows1252);
  }
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToWindows1252("\xE4\xB8\xAD"
                              "a"),
            "?a");                            // a CJK character
  EXPECT_EQ(Utf8ToWindows1252("\xC3"), "?");  // cut off in the middle
}

TEST(Windows1252, UpperCaseCoversAccentedLetters) {
  EXPECT_EQ(UpperCase1252("brindlehollows \xEB\xFF\x9A"), "BRINDLEHOLLOWS \xCB\x9F\x8A");
  EXPECT_TRUE(EqualIgnoringCase1252("\\\\tsclient\\c\\", "\\\\TSCLIENT\\C\\"));
  EXPECT_FALSE(EqualIgnoringCase1252("\xF7", "\xD7"));  // division and multiplication signs
}

}  // namespace
}  // namespace korvant
