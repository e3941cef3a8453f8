#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>

#include "transfer/remote_listing.h"

namespace korvant {
namespace {

std::string ThisYear() {
  using namespace std::chrono;
  return std::to_string(static_cast<int>(year_month_day{floor<days>(system_clock::now())}.year()));
}

struct Expected {
  std::string display, modified, size, mask, name, sortName;
  int isFolder;
};

void ExpectEntry(const REMOTECHILDREN& entry, const Expected& expected) {
  EXPECT_EQ(entry.DISPLAYNAME.Clip(), expected.display);
  EXPECT_EQ(entry.LASTMODIFIED.Clip(), expected.modified);
  EXPECT_EQ(entry.FILESIZE.Clip(), expected.size);
  EXPECT_EQ(entry.FILEMASK.Clip(), expected.mask);
  EXPECT_EQ(entry.NAME.Clip(), expected.name);
  EXPECT_EQ(entry.SORTNAME.Clip(), expected.sortName);
  EXPECT_EQ(entry.ISFOLDER, expected.isFolder);
}

RemoteChildren Parse(std::string_view listing) {
  std::vector<RESPQ> lines;
  SplitLines(listing, lines);
  RemoteChildren entries;
  AddListingEntries(lines, entries);
  return entries;
}

const Expected kParent{"[..]", "", "", "", "..", "\x02..", 1};

TEST(ListingLine, EachShapeOfLineGivesItsEntry) {
  const std::string year = ThisYear();
  struct Case {
    const char* name;
    std::string line;
    Expected entry;
  };
  const std::array<Case, 9> cases = {{
      {"folder with a time",
       "drwxr-xr-x    2 owner    group        4096 Jan 15 10:30 Installer",
       {"[Installer]", "15-01-" + year + " 10:30", "", "drwxr-xr-x", "Installer", "INSTALLER", 1}},
      {"file with a year and a blank in its name",
       "-rw-r--r--    1 owner    group     1048576 Mar  5  2023 two words.exe",
       {"two words.exe", "05-03-2023", "1048576", "-rw-r--r--", "two words.exe", "TWO WORDS.EXE",
        0}},
      {"symbolic link keeps arrow and target",
       "lrwxrwxrwx    1 0        0               5 Dec 11 08:33 link.exe -> a.exe",
       {"link.exe -> a.exe", "11-12-" + year + " 08:33", "5", "lrwxrwxrwx", "link.exe -> a.exe",
        "LINK.EXE -> A.EXE", 0}},
      {"a tab does not separate",
       "-rw-r--r-- 1 o g 7 Feb 1 2020 tab\there",
       {"tab\there", "01-02-2020", "7", "-rw-r--r--", "tab\there", "TAB\tHERE", 0}},
      {"Windows-1252 letters are upper-cased",
       "-rw-r--r-- 1 o g 3 Apr 30 2024 kopi\xEBren.txt",
       {"kopi\xEBren.txt", "30-04-2024", "3", "-rw-r--r--", "kopi\xEBren.txt", "KOPI\xCBREN.TXT",
        0}},
      {"an unknown month keeps its parts",
       "-rw-r--r-- 1 o g 3 Foo 31 2024 odd",
       {"odd", "31-00-2024", "3", "-rw-r--r--", "odd", "ODD", 0}},
      {"fewer than nine columns lose the last one",
       "-rw-r--r-- 1 o",
       {"", "00-00-0000", "", "-rw-r--r--", "", "", 0}},
      {"a leading blank shifts the columns",
       " -rw-r--r-- 1 o g 9 Jan 2 2021 x",
       {"2021 x", "00-00-0002", "g", "", "2021 x", "2021 X", 0}},
      {"a '..' folder line is the parent entry", "drwxr-xr-x 3 o g 4096 Jan 1 2020 ..", kParent},
  }};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RemoteChildren entries = Parse(c.line + "\r\n");
    ASSERT_GE(entries.size(), 1u);
    ExpectEntry(entries[0], c.entry);
  }
}

TEST(ListingLine, ColumnsAreSplitAndTheNinthTakesTheRest) {
  DIRITEM item;
  SplitListingLine("-rw-r--r--   1 owner  group  12 May  7 12:05 a  b  ", item);
  EXPECT_EQ(item.MASK.Clip(), "-rw-r--r--");
  EXPECT_EQ(item.SUBDIRS.Clip(), "1");
  EXPECT_EQ(item.UID.Clip(), "owner");
  EXPECT_EQ(item.GID.Clip(), "group");
  EXPECT_EQ(item.SIZE.Clip(), "12");
  EXPECT_EQ(item.MONTH.Clip(), "May");
  EXPECT_EQ(item.DAY.Clip(), "7");
  EXPECT_EQ(item.YEARTIME.Clip(), "12:05");
  EXPECT_EQ(item.FILENAME.Clip(), "a  b");
}

TEST(ListingText, LineBreaksAndTheUnfinishedLastLine) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const std::array<Case, 6> cases = {{
      {"CR LF and lone LF", "one\r\ntwo\nthree\n", {"one", "two", "three"}},
      {"runs of breaks give no empty lines", "one\n\n\r\ntwo\n", {"one", "two"}},
      {"a leading break gives one empty line", "\r\none\n", {"", "one"}},
      {"text after the last break is no line", "one\ntwo", {"one"}},
      {"blank text", "    ", {}},
      {"lines are cut at 255", std::string(300, 'x') + "\n", {std::string(255, 'x')}},
  }};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<RESPQ> lines;
    SplitLines(c.text, lines);
    ASSERT_EQ(lines.size(), c.lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].ITEM.Clip(), c.lines[i]);
  }
}

TEST(ListingText, DotIsSkippedAndTheParentIsAddedOnce) {
  const RemoteChildren withDots = Parse(
      "drwxr-xr-x 2 o g 4096 Jan 1 2020 .\n"
      "drwxr-xr-x 3 o g 4096 Jan 1 2020 ..\n"
      "-rw-r--r-- 1 o g 5 Jan 1 2020 a.exe\n");
  ASSERT_EQ(withDots.size(), 2u);
  ExpectEntry(withDots[0], kParent);
  EXPECT_EQ(withDots[1].NAME.Clip(), "a.exe");

  const RemoteChildren withoutDots = Parse("-rw-r--r-- 1 o g 5 Jan 1 2020 a.exe\n");
  ASSERT_EQ(withoutDots.size(), 2u);
  EXPECT_EQ(withoutDots[0].NAME.Clip(), "a.exe");
  ExpectEntry(withoutDots[1], kParent);

  const RemoteChildren empty = Parse("");
  ASSERT_EQ(empty.size(), 1u);
  ExpectEntry(empty[0], kParent);
}

TEST(ListingText, ALongLineIsCutBeforeItIsSplit) {
  const std::string prefix = "drwxr-xr-x 2 o g 4096 Jan 1 2020 ";
  const RemoteChildren entries = Parse(prefix + std::string(250, 'n') + "\n");
  const std::string kept(255 - prefix.size(), 'n');
  EXPECT_EQ(entries[0].NAME.Clip(), kept);
  EXPECT_EQ(entries[0].DISPLAYNAME.Clip(), "[" + kept + "]");
}

TEST(ListingOrder, FoldersFirstParentFirstThenByName) {
  RemoteChildren entries = Parse(
      "-rw-r--r-- 1 o g 5 Jan 1 2020 b.exe\n"
      "drwxr-xr-x 2 o g 4096 Jan 1 2020 zeta\n"
      "-rw-r--r-- 1 o g 5 Jan 1 2020 A.exe\n"
      "drwxr-xr-x 2 o g 4096 Jan 1 2020 Alpha\n"
      "-rw-r--r-- 1 o g 5 Jan 1 2020 _x.exe\n");
  SortRemoteChildren(entries);
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.NAME.Clip());
  EXPECT_EQ(names, (std::vector<std::string>{"..", "Alpha", "zeta", "A.exe", "b.exe", "_x.exe"}));
}

TEST(ListingDate, FormatsDateAndZeroFilledTime) {
  const std::string year = ThisYear();
  struct Case {
    const char* month;
    const char* day;
    const char* yearOrTime;
    std::string expected;
  };
  const std::array<Case, 5> cases = {{
      {"Jan", "15", "10:30", "15-01-" + year + " 10:30"},
      {"Mar", "5", "2023", "05-03-2023 "},
      {"Dec", "31", "9:05", "31-12-" + year + " 09:05"},
      {"jan", "1", "2020", "01-00-2020 "},   // the month names are case-sensitive
      {"Feb", "30", "2021", "30-02-2021 "},  // an impossible day is shown as listed
  }};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatListingDate(c.month, c.day, c.yearOrTime), c.expected)
        << c.month << " " << c.day << " " << c.yearOrTime;
  }
}

}  // namespace
}  // namespace korvant
