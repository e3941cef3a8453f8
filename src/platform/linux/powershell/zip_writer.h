#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvant::powershell {

enum class Compression { kStore, kFastest, kOptimal };

// Writes a ZIP archive of the items (host paths of files and folders): a file becomes an entry of
// its name, a folder an entry tree under its name, an empty folder a "name/" entry. Entry names use
// "/" and keep the files' times; Zip64 is used where sizes need it. The archive is written beside
// its final name and takes its place only when complete, so an existing archive survives a failure.
// Returns the reason of a failure, or empty.
std::string WriteZipArchive(const std::vector<std::filesystem::path>& items,
                            const std::filesystem::path& archive, Compression compression);

}  // namespace korvant::powershell
