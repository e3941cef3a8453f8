#pragma once

#include <filesystem>
#include <string_view>

namespace korvant::platform {

// The folder that holds this host's Windows drives: $KORVANT_DRIVES, or "korvant/drives" under the
// user's XDG data folder.
std::filesystem::path DrivesFolder();

// Where a Windows path (Windows-1252 text) lives on this host:
//   "C:\X\Y"            -> <drives>/C/X/Y (any drive letter, upper-cased)
//   "\\TSCLIENT\C\X"    -> <drives>/TSCLIENT/C/X (server and share upper-cased)
//   "\X"                -> <drives>/C/X (the root of the current drive, always C: here)
//   ".\name", "name"    -> relative to the current folder
//   "/host/path"        -> unchanged: a host path, such as the program's own location
// Both "\" and "/" separate; "." and ".." are resolved as Windows resolves them, never above the
// drive's root. Letter case is Windows': an existing name matches in any case. Names become the
// host's UTF-8.
std::filesystem::path HostPath(std::string_view windowsPath);

}  // namespace korvant::platform
