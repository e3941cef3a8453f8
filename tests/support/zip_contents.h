#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace korvant::testing {

// The files of a ZIP archive, by entry name, with their contents (folder entries left out).
// Throws when the archive cannot be read.
std::map<std::string, std::string> ZipContents(const std::filesystem::path& archive);

// The files below a folder, by their path relative to it with "/" separators, the way an archive
// of its contents names them.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

}  // namespace korvant::testing
