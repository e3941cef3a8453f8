#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/fixed_text.h"

namespace korvant {

// One entry of a remote folder, as the listing gives it.
struct REMOTECHILDREN {
  FixedText<255> DISPLAYNAME;  // "[name]" for a folder, else the name
  FixedText<20> LASTMODIFIED;  // blank for the parent entry
  FixedText<20> FILESIZE;      // blank for folders
  FixedText<10> FILEMASK;      // blank for the parent entry
  FixedText<255> NAME;
  FixedText<255> SORTNAME;  // upper-cased name; "\x02.." for the parent, below every other name
  std::uint8_t ISFOLDER = 0;
};

// One long-format listing line ("ls -l") cut into its nine columns.
struct DIRITEM {
  FixedText<20> MASK;
  FixedText<10> SUBDIRS;
  FixedText<255> UID;
  FixedText<255> GID;
  FixedText<20> SIZE;
  FixedText<3> MONTH;
  FixedText<2> DAY;
  FixedText<5> YEARTIME;
  FixedText<255> FILENAME;  // the rest of the line: names with blanks and link arrows survive
};

struct RESPQ {
  FixedText<255> ITEM;
};

using RemoteChildren = std::vector<REMOTECHILDREN>;

// Lines end at CR, LF or any run of them; text after the last line break is no line.
void SplitLines(std::string_view text, std::vector<RESPQ>& lines);
// Blanks (not tabs) separate the columns; the ninth column takes the rest of the line.
void SplitListingLine(std::string_view line, DIRITEM& record);
// "dd-mm-yyyy HH:MM", or "dd-mm-yyyy " for a listing that shows a year instead of a time. A time
// means the current year.
std::string FormatListingDate(std::string_view month, std::string_view day,
                              std::string_view yearOrTime);
// The entries of the listing lines, in their order ("." skipped), then the parent entry when no
// ".." folder line gave one.
void AddListingEntries(const std::vector<RESPQ>& lines, RemoteChildren& entries);
// Folders first, then by SORTNAME.
void SortRemoteChildren(RemoteChildren& entries);

}  // namespace korvant
