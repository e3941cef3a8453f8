#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::platform {

// The file system as the program's logic sees it. Paths are Windows paths ("C:\Korvant",
// "\\TSCLIENT\C\...", ".\name"); trailing blanks are ignored.

// True for an existing file or folder.
bool PathExists(std::string_view path);
bool IsFolder(std::string_view path);
// Removes a file without confirmation and without a recycle bin; false when it could not.
bool RemoveFile(std::string_view path);
// Moves a file to a new name in the same volume, replacing a file of that name; 0 or the Windows
// error code.
std::uint32_t MoveFileReplacing(std::string_view from, std::string_view to);
// Removes a folder only when it is empty; false otherwise.
bool RemoveEmptyFolder(std::string_view path);
// The plain files of a folder (no folders, no hidden and no system files), by their long names,
// in the order the file system lists them. Empty for a missing folder.
std::vector<std::string> ListPlainFiles(std::string_view folder);

}  // namespace korvant::platform
