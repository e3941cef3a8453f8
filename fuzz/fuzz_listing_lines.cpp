// The remote listing parser on arbitrary bytes: the text is cut into lines, each line into its
// columns, the lines become entries, and the entries are sorted. Whatever the store sends, the
// parser must not fail, and its results keep their promised shape.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "transfer/remote_listing.h"

namespace {

using korvant::ClipBlanks;
using korvant::DIRITEM;
using korvant::REMOTECHILDREN;
using korvant::RESPQ;

bool IsLineBreak(char c) {
  return c == '\n' || c == '\r';
}

// The listing's lines by another route: the text between runs of line breaks, the part after the
// last break dropped, each cut to the field's width.
std::vector<std::string> ExpectedLines(std::string_view text) {
  text = ClipBlanks(text);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const auto lineBreak = text.find_first_of("\r\n", start);
    if (lineBreak == std::string_view::npos) return lines;
    lines.emplace_back(text.substr(start, std::min<std::size_t>(lineBreak - start, 255)));
    start = text.find_first_not_of("\r\n", lineBreak);
    if (start == std::string_view::npos) return lines;
  }
}

// The columns of a line by another route: blank-separated words (an empty first word when the
// line begins with a blank), the ninth taking the rest; a word with no blank after it is lost.
void CheckColumns(std::string_view line, const DIRITEM& item) {
  line = ClipBlanks(line);
  const std::string_view fields[8] = {
      item.MASK.Padded(), item.SUBDIRS.Padded(), item.UID.Padded(), item.GID.Padded(),
      item.SIZE.Padded(), item.MONTH.Padded(),   item.DAY.Padded(), item.YEARTIME.Padded()};
  std::size_t start = 0;
  int column = 0;
  for (; column < 8; ++column) {
    const auto blank = line.find(' ', start);
    if (blank == std::string_view::npos) break;
    const auto word = line.substr(start, blank - start);
    const auto& field = fields[column];
    FUZZ_CHECK(ClipBlanks(field) == ClipBlanks(word.substr(0, field.size())));
    start = line.find_first_not_of(' ', blank);
    FUZZ_CHECK(start != std::string_view::npos);  // the line is clipped: a word follows
  }
  for (int rest = column; rest < 8; ++rest) FUZZ_CHECK(ClipBlanks(fields[rest]).empty());
  if (column == 8) {
    FUZZ_CHECK(ClipBlanks(item.FILENAME.Padded()) == ClipBlanks(line.substr(start).substr(0, 255)));
  } else {
    FUZZ_CHECK(item.FILENAME.IsBlank());
  }
}

void CheckEntries(const std::vector<RESPQ>& lines, std::vector<REMOTECHILDREN>& entries) {
  std::size_t skipped = 0;
  DIRITEM item;
  for (const RESPQ& line : lines) {
    korvant::SplitListingLine(line.ITEM.Padded(), item);
    if (item.FILENAME == ".") ++skipped;
  }
  const std::size_t listed = lines.size() - skipped;
  FUZZ_CHECK(entries.size() == listed || entries.size() == listed + 1);
  const auto isParent = [](const REMOTECHILDREN& e) { return e.ISFOLDER == 1 && e.NAME == ".."; };
  FUZZ_CHECK(std::any_of(entries.begin(), entries.end(), isParent));
  for (const REMOTECHILDREN& entry : entries) {
    FUZZ_CHECK(entry.ISFOLDER <= 1);
    if (isParent(entry)) FUZZ_CHECK(entry.SORTNAME.Padded().substr(0, 3) == "\x02..");
    if (entry.ISFOLDER) FUZZ_CHECK(entry.FILESIZE.IsBlank());
    if (entry.ISFOLDER) FUZZ_CHECK(entry.DISPLAYNAME.Padded()[0] == '[');
  }

  korvant::SortRemoteChildren(entries);
  for (std::size_t i = 1; i < entries.size(); ++i) {
    const auto& a = entries[i - 1];
    const auto& b = entries[i];
    FUZZ_CHECK(a.ISFOLDER >= b.ISFOLDER);
    if (a.ISFOLDER == b.ISFOLDER) FUZZ_CHECK(a.SORTNAME.Padded() <= b.SORTNAME.Padded());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = korvant::fuzz::AsText(data, size);

  std::vector<RESPQ> lines;
  korvant::SplitLines(text, lines);
  const auto expected = ExpectedLines(text);
  FUZZ_CHECK(lines.size() == expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto item = lines[i].ITEM.Padded();
    FUZZ_CHECK(std::none_of(item.begin(), item.end(), IsLineBreak));
    FUZZ_CHECK(ClipBlanks(item) == ClipBlanks(expected[i]));
  }

  // The whole input as one line too: a line of any length and bytes.
  DIRITEM item;
  korvant::SplitListingLine(text, item);
  CheckColumns(text, item);
  for (const RESPQ& line : lines) {
    korvant::SplitListingLine(line.ITEM.Padded(), item);
    CheckColumns(line.ITEM.Padded(), item);
  }

  std::vector<REMOTECHILDREN> entries;
  korvant::AddListingEntries(lines, entries);
  CheckEntries(lines, entries);
  return 0;
}
