#include "migrate/text_tests.h"

#include "shared/fixed_text.h"
#include "shared/windows1252.h"

namespace korvant {

int StartsWithText(std::string_view text, std::string_view prefix) {
  const auto clippedText = ClipBlanks(text);
  const auto clippedPrefix = ClipBlanks(prefix);
  if (clippedText.size() < clippedPrefix.size()) return 0;
  return EqualIgnoringCase1252(clippedText.substr(0, clippedPrefix.size()), clippedPrefix) ? 1 : 0;
}

int EndsWithText(std::string_view text, std::string_view suffix) {
  const auto clippedText = ClipBlanks(text);
  const auto clippedSuffix = ClipBlanks(suffix);
  if (clippedText.size() < clippedSuffix.size()) return 0;
  return EqualIgnoringCase1252(clippedText.substr(clippedText.size() - clippedSuffix.size()),
                               clippedSuffix)
             ? 1
             : 0;
}

}  // namespace korvant
