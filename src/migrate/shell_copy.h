#pragma once

#include <string_view>

namespace korvant {

// Copies a file to a new name, a folder to a new folder, "<folder>\*" the folder's contents
// recursively, or "<folder>\*.*" only the folder's own files. Existing files are replaced without
// asking and missing destination folders created. 0, or the shell's error code.
int ShellCopy(std::string_view source, std::string_view destination);

}  // namespace korvant
