#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::powershell {

// Where an entry of an archive lands below the destination: its name with "/" or "\" separators,
// "." and ".." resolved; nothing for a name that would land outside (absolute, with a drive or
// stream colon, or climbing above the destination) or that names the destination itself.
std::optional<std::filesystem::path> EntryPlace(std::string_view entryName);

struct ExpandResult {
  bool refused = false;  // nothing was written: the archive cannot be expanded safely or at all
  std::string errors;    // one line per failure; empty when everything was expanded
};

// Expands the archive into `destination`, which is made when missing. Existing files are replaced
// only with `force`; a file that cannot be written is reported and the others are still expanded,
// as PowerShell does. Before anything is written every entry is checked, and an archive with one
// entry that would land outside the destination is refused whole.
ExpandResult ExpandZipArchive(const std::filesystem::path& archive,
                              const std::filesystem::path& destination, bool force);

}  // namespace korvant::powershell
