// The profile-string writer on an arbitrary INI file, section, key and value
// ("section\0key\0value\0file text"). A write or a delete touches one line and keeps every other
// byte; a value written under a well-formed section and key reads back.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "platform/linux/ini_text.h"

namespace {

using namespace korvant::platform;

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The bytes of `before` that `after` no longer holds, once the longest common beginning and end
// are set aside.
std::string_view ChangedSpan(std::string_view before, std::string_view after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
    ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  return before.substr(prefix, before.size() - prefix - suffix);
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// A section and key the file can hold on one line each, and a value that stays on its line.
bool WellFormed(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  if (section.find(']') != std::string_view::npos) return false;
  if (key.find('=') != std::string_view::npos) return false;
  const auto name = Trim(key);
  return !name.empty() && name.front() != '[';
}

std::size_t LineCount(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
         (!text.empty() && text.back() != '\n' ? 1 : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = korvant::fuzz::SplitAtNul(korvant::fuzz::AsText(data, size), 3);
  const std::string_view section = parts[0], key = parts[1], value = parts[2], text = parts[3];

  const std::string written = IniWithValue(text, section, key, value);
  // Nothing but the one line is replaced: the bytes that went were within one line.
  FUZZ_CHECK(ChangedSpan(text, written).find('\n') == std::string_view::npos);
  if (WellFormed(section, key, value)) {
    FUZZ_CHECK(IniHasSection(written, section));
    const auto read = IniValue(written, section, key);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(*read == Trim(value));
    // Writing the same again changes nothing.
    FUZZ_CHECK(IniWithValue(written, section, key, value) == written);
  }

  const std::string removed = IniWithoutKey(text, section, key);
  if (!IniValue(text, section, key)) {
    FUZZ_CHECK(removed == text);
  } else {
    // One whole line went, and nothing else.
    FUZZ_CHECK(removed.size() < text.size());
    FUZZ_CHECK(LineCount(removed) + 1 == LineCount(text));
    FUZZ_CHECK(ChangedSpan(text, removed).size() == text.size() - removed.size());
  }
  return 0;
}
