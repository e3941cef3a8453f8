#include "shared/fixed_text.h"

#include <gtest/gtest.h>

namespace korvant {
namespace {

TEST(FixedText, StartsBlankAndKeepsItsWidth) {
  const FixedText<8> field;
  EXPECT_TRUE(field.IsBlank());
  EXPECT_EQ(field.Padded(), "        ");
  EXPECT_EQ(field.Clip(), "");
}

TEST(FixedText, StoringCutsAtTheWidthAndPadsWithBlanks) {
  FixedText<5> field = "abcdefg";
  EXPECT_EQ(field.Padded(), "abcde");
  field = "ab";
  EXPECT_EQ(field.Padded(), "ab   ");
  // A wider field into a narrower one cuts as well.
  const FixedText<10> wide = "0123456789";
  field = wide;
  EXPECT_EQ(field.Clip(), "01234");
}

TEST(FixedText, ClipDropsOnlyTrailingBlanks) {
  const FixedText<12> field = "  a b  ";
  EXPECT_EQ(field.Clip(), "  a b");
}

TEST(FixedText, ComparisonsIgnoreTrailingBlanksButNotCase) {
  const FixedText<16> tag = "1957";
  EXPECT_TRUE(tag == "1957");
  EXPECT_TRUE(tag == "1957   ");
  EXPECT_FALSE(tag == " 1957");
  const FixedText<4> other = "1957";
  EXPECT_TRUE(tag == other);
  const FixedText<16> name = "Abc";
  EXPECT_FALSE(name == "ABC");
}

TEST(FixedText, KeepsWindows1252BytesAsTheyAre) {
  const FixedText<10> field = "Kopi\xEBren";
  EXPECT_EQ(field.Clip(), "Kopi\xEBren");
}

}  // namespace
}  // namespace korvant
