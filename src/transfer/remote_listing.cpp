#include "transfer/remote_listing.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

#include "shared/windows1252.h"

namespace korvant {
namespace {

bool IsLineBreak(char c) {
  return c == '\n' || c == '\r';
}

// The numeric value of a text: its leading digits, after leading blanks.
int NumericValue(std::string_view text) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string_view::npos) return 0;
  int value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > 99999) break;
  }
  return value;
}

int MonthNumber(std::string_view month) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::string_view clipped = ClipBlanks(month);
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (clipped == kMonths[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

int CurrentYear() {
  using namespace std::chrono;
  const year_month_day today{floor<days>(system_clock::now())};
  return static_cast<int>(today.year());
}

void SetField(DIRITEM& record, int field, std::string_view text) {
  switch (field) {
    case 1:
      record.MASK = text;
      break;
    case 2:
      record.SUBDIRS = text;
      break;
    case 3:
      record.UID = text;
      break;
    case 4:
      record.GID = text;
      break;
    case 5:
      record.SIZE = text;
      break;
    case 6:
      record.MONTH = text;
      break;
    case 7:
      record.DAY = text;
      break;
    case 8:
      record.YEARTIME = text;
      break;
    default:
      record.FILENAME = text;
      break;
  }
}

constexpr char kParentSortPrefix = '\x02';

REMOTECHILDREN ParentEntry() {
  REMOTECHILDREN parent;
  parent.ISFOLDER = 1;
  parent.NAME = "..";
  parent.DISPLAYNAME = "[..]";
  parent.SORTNAME = std::string(1, kParentSortPrefix) + "..";
  return parent;
}

}  // namespace

void SplitLines(std::string_view text, std::vector<RESPQ>& lines) {
  lines.clear();
  const std::string_view clipped = ClipBlanks(text);
  const std::size_t n = clipped.size();
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < n) {
    if (!IsLineBreak(clipped[i])) {
      ++i;
      continue;
    }
    lines.push_back(RESPQ{clipped.substr(start, i - start)});
    while (i < n && IsLineBreak(clipped[i])) ++i;
    start = i;
  }
}

void SplitListingLine(std::string_view line, DIRITEM& record) {
  record = DIRITEM{};
  const std::string_view clipped = ClipBlanks(line);
  const std::size_t n = clipped.size();
  int field = 1;
  std::size_t start = 0;
  std::size_t j = 0;
  while (j < n) {
    if (clipped[j] != ' ') {
      ++j;
      continue;
    }
    SetField(record, field, clipped.substr(start, j - start));
    while (j < n && clipped[j] == ' ') ++j;
    start = j;
    ++field;
    if (field == 9) {
      record.FILENAME = clipped.substr(start);
      return;
    }
  }
}

std::string FormatListingDate(std::string_view month, std::string_view day,
                              std::string_view yearOrTime) {
  const bool hasTime = yearOrTime.find(':') != std::string_view::npos;
  const int monthNumber = MonthNumber(month);
  const int dayNumber = NumericValue(day);
  const int year = hasTime ? CurrentYear() : NumericValue(yearOrTime);
  // Dutch short date; an impossible date keeps its parts as listed, so it shows as what it is.
  char text[48];
  int length = std::snprintf(text, sizeof text, "%02d-%02d-%04d ", dayNumber, monthNumber, year);
  if (hasTime) {
    const std::size_t colon = yearOrTime.find(':');
    const int hours = NumericValue(yearOrTime.substr(0, colon));
    const int minutes = NumericValue(yearOrTime.substr(colon + 1));
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                            "%02d:%02d", hours, minutes);
  }
  return std::string(text, static_cast<std::size_t>(length));
}

void AddListingEntries(const std::vector<RESPQ>& lines, RemoteChildren& entries) {
  DIRITEM item;
  for (const RESPQ& line : lines) {
    SplitListingLine(line.ITEM.Padded(), item);
    if (item.FILENAME == ".") continue;
    REMOTECHILDREN entry;
    entry.ISFOLDER = item.MASK.Padded()[0] == 'd' ? 1 : 0;
    entry.NAME = item.FILENAME;
    entry.DISPLAYNAME = entry.ISFOLDER ? "[" + item.FILENAME.Clip() + "]" : item.FILENAME.Clip();
    if (entry.NAME == "..") {
      entry.SORTNAME = std::string(1, kParentSortPrefix) + UpperCase1252(item.FILENAME.Clip());
    } else {
      entry.SORTNAME = UpperCase1252(item.FILENAME.Clip());
      entry.FILEMASK = item.MASK.Padded().substr(0, 10);
      entry.LASTMODIFIED =
          FormatListingDate(item.MONTH.Padded(), item.DAY.Padded(), item.YEARTIME.Padded());
    }
    if (!entry.ISFOLDER) entry.FILESIZE = item.SIZE;
    entries.push_back(std::move(entry));
  }
  const bool hasParent = std::any_of(entries.begin(), entries.end(), [](const REMOTECHILDREN& e) {
    return e.ISFOLDER == 1 && e.NAME == "..";
  });
  if (!hasParent) entries.push_back(ParentEntry());
}

void SortRemoteChildren(RemoteChildren& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const REMOTECHILDREN& a, const REMOTECHILDREN& b) {
                     if (a.ISFOLDER != b.ISFOLDER) return a.ISFOLDER > b.ISFOLDER;
                     return a.SORTNAME.Padded() < b.SORTNAME.Padded();
                   });
}

}  // namespace korvant
