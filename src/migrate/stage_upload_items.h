#pragma once

#include <string_view>

#include "platform/user_interface.h"

namespace korvant {

// Copies the installation's upload items (Connection.ini, data, pdf) from the installation folder
// into the staging folder: the file as it is, each folder as an uncompressed archive. Items the
// installation lacks and items already staged are passed over. 0, or the result of the first copy
// that failed. Both folders without a trailing backslash.
int StageUploadItems(platform::UserInterface& ui, std::string_view sourceFolder,
                     std::string_view targetFolder);

}  // namespace korvant
