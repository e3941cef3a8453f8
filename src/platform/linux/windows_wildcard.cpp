#include "platform/linux/windows_wildcard.h"

#include "shared/windows1252.h"

namespace korvant::platform {

namespace {

bool Matches(std::string_view name, std::string_view pattern) {
  // Iterative matching with one back-tracking point: linear in practice, never recursive.
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t starPattern = std::string_view::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || UpperCase1252(pattern[p]) == UpperCase1252(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starPattern = p++;
      starName = n;
    } else if (starPattern != std::string_view::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesWindowsWildcard(std::string_view name, std::string_view pattern) {
  // A trailing ".*" also matches the end of a name without a dot ("*.*" is "everything").
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      Matches(name, pattern.substr(0, pattern.size() - 2))) {
    return true;
  }
  return Matches(name, pattern);
}

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  return Matches(name, pattern);
}

bool HasWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

}  // namespace korvant::platform
