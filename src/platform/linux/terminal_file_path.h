#pragma once

#include <string>
#include <string_view>

namespace korvant::platform {

// Where the open-file dialog starts: its folder (ending in "\") and the name it offers.
struct DialogStart {
  std::string folder;
  std::string name;
};

// A folder name (ending in "\" or an existing folder) opens the dialog in that folder with no name;
// otherwise the name's folder part is the folder and its last part the offered name. Without a
// folder the dialog starts at "C:\".
DialogStart StartOfDialog(std::string_view initialName);

// The full Windows path of what the user typed in the dialog opened at `folder`: "/" is read as
// "\", surrounding blanks and double quotes are dropped, a name without drive or server is taken
// from `folder` ("\X" from its drive's root), and "." and ".." are resolved, never above the root.
std::string ResolveTypedPath(std::string_view folder, std::string_view typed);

}  // namespace korvant::platform
