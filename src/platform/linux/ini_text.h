#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvant::platform {

// The text of an INI file as Windows' profile-string functions read and edit it: a section starts
// at a line "[name]", a key is a line "name=value", names match in any letter case and the first
// of equal sections or keys counts. Edits touch one line and keep every other byte.

std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key);
bool IniHasSection(std::string_view text, std::string_view section);

// The key's value replaced, or the key added at the end of its section, or the section appended
// with the key; new lines end in CR LF.
std::string IniWithValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);
// The key's line removed; the text unchanged when there is no such key.
std::string IniWithoutKey(std::string_view text, std::string_view section, std::string_view key);

}  // namespace korvant::platform
