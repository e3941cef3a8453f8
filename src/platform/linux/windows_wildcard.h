#pragma once

#include <string_view>

namespace korvant::platform {

// True when a name matches a Windows wildcard pattern: "*" any run, "?" one character, letter
// case ignored; "*.*" matches every name, with or without a dot, as Windows' file search does.
bool MatchesWindowsWildcard(std::string_view name, std::string_view pattern);

// The same without the file search's "*.*" rule, as PowerShell matches its -Path wildcards.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

bool HasWildcard(std::string_view name);

}  // namespace korvant::platform
