// The date text of a listing entry, from arbitrary month, day and year-or-time columns
// ("month\0day\0yearOrTime"): always "dd-mm-yyyy " plus "HH:MM" when the column held a time, and
// within the entry's 20 characters whenever the columns come at their listing widths.
#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <string>

#include "fuzz_support.h"
#include "shared/fixed_text.h"
#include "transfer/remote_listing.h"

namespace {

// "<digits>-<digits>-<digits> " then, with a time, "<digits>:<digits>": the parts of the text.
struct Shape {
  bool ok = false;
  int month = -1;
  bool hasTime = false;
  std::string year;
};

bool Digits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

Shape Read(std::string_view date) {
  Shape shape;
  const auto blank = date.find(' ');
  if (blank == std::string_view::npos) return shape;
  const auto calendar = date.substr(0, blank);
  const auto time = date.substr(blank + 1);
  const auto dash1 = calendar.find('-');
  const auto dash2 = calendar.find('-', dash1 == std::string_view::npos ? 0 : dash1 + 1);
  if (dash1 == std::string_view::npos || dash2 == std::string_view::npos) return shape;
  const auto day = calendar.substr(0, dash1);
  const auto month = calendar.substr(dash1 + 1, dash2 - dash1 - 1);
  shape.year = std::string(calendar.substr(dash2 + 1));
  if (!Digits(day) || !Digits(month) || !Digits(shape.year) || day.size() < 2 || month.size() != 2)
    return shape;
  shape.month = std::stoi(std::string(month));
  if (!time.empty()) {
    const auto colon = time.find(':');
    if (colon == std::string_view::npos || !Digits(time.substr(0, colon)) ||
        !Digits(time.substr(colon + 1)) || colon < 2 || time.size() - colon - 1 < 2)
      return shape;
    shape.hasTime = true;
  }
  shape.ok = true;
  return shape;
}

int ExpectedMonth(std::string_view month) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (korvant::ClipBlanks(month) == kMonths[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::string ThisYear() {
  using namespace std::chrono;
  const year_month_day today{floor<days>(system_clock::now())};
  return std::to_string(static_cast<int>(today.year()));
}

void Check(std::string_view month, std::string_view day, std::string_view yearOrTime,
           bool atListingWidths) {
  const std::string date = korvant::FormatListingDate(month, day, yearOrTime);
  const Shape shape = Read(date);
  FUZZ_CHECK(shape.ok);
  FUZZ_CHECK(shape.month == ExpectedMonth(month));
  const bool time = yearOrTime.find(':') != std::string_view::npos;
  FUZZ_CHECK(shape.hasTime == time);
  if (time) FUZZ_CHECK(shape.year == ThisYear());
  if (atListingWidths) FUZZ_CHECK(date.size() <= korvant::REMOTECHILDREN{}.LASTMODIFIED.kWidth);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto columns = korvant::fuzz::SplitAtNul(korvant::fuzz::AsText(data, size), 2);
  Check(columns[0], columns[1], columns[2], false);
  // As the listing hands them over: cut to their fields' widths and blank-padded.
  const korvant::DIRITEM item{.MONTH = columns[0], .DAY = columns[1], .YEARTIME = columns[2]};
  Check(item.MONTH.Padded(), item.DAY.Padded(), item.YEARTIME.Padded(), true);
  return 0;
}
