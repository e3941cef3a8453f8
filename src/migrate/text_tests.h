#pragma once

#include <string_view>

namespace korvant {

// 1 when the text begins (ends) with the fragment, letter case ignored and trailing blanks of both
// ignored; an empty fragment always matches, a text shorter than the fragment never does.
int StartsWithText(std::string_view text, std::string_view prefix);
int EndsWithText(std::string_view text, std::string_view suffix);

}  // namespace korvant
