#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/user_interface.h"

namespace korvant {

// The PowerShell commands that make and expand an archive; each path is enclosed in \" so that
// PowerShell receives it in double quotes.
std::string CompressArchiveCommand(std::string_view source, std::string_view archive);
std::string ExpandArchiveCommand(std::string_view archive, std::string_view destination);

// Makes an uncompressed ZIP archive of `source` (a path, possibly ending in a wildcard), replacing
// an existing one; a failure is shown in a message box. Returns `archive` either way: callers test
// whether it exists.
std::string CompressArchive(platform::UserInterface& ui, std::string_view source,
                            std::string_view archive);
// The same, with PowerShell's exit code for callers that must not trust a half-written archive.
std::int32_t CompressArchiveReportingExit(platform::UserInterface& ui, std::string_view source,
                                          std::string_view archive);
// The folder's files and sub-folders as the top level of folder + ".zip"; returns that path.
std::string CompressFolder(platform::UserInterface& ui, std::string_view folder);

// Expands the archive into `destination`, replacing existing files; a failure is shown in a
// message box. Returns `destination` either way.
std::string ExpandArchive(platform::UserInterface& ui, std::string_view archive,
                          std::string_view destination);
// Expands "<name>.zip" into the folder "<name>\"; returns that folder.
std::string ExpandZipBeside(platform::UserInterface& ui, std::string_view archive);

}  // namespace korvant
