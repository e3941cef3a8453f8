#pragma once

#include <string_view>

#include "platform/user_interface.h"

namespace korvant {

// Copies a folder as one uncompressed archive to destination + ".zip" (expanded into destination
// again when `expand` is not 0). Without PowerShell the folder's contents are copied directly into
// destination. The source folder is only read. 0 on success; -1 when the copied archive is missing
// at the destination; otherwise the shell copy's result.
int CopyFolderViaArchive(platform::UserInterface& ui, int expand, std::string_view source,
                         std::string_view destination);

}  // namespace korvant
