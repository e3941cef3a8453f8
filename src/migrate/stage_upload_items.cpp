#include "migrate/stage_upload_items.h"

#include <string>

#include "migrate/folder_copy.h"
#include "migrate/shell_copy.h"
#include "platform/file_system.h"
#include "shared/fixed_text.h"
#include "shared/program_globals.h"

namespace korvant {

int StageUploadItems(platform::UserInterface& ui, std::string_view sourceFolder,
                     std::string_view targetFolder) {
  const std::string source(ClipBlanks(sourceFolder));
  const std::string target(ClipBlanks(targetFolder));
  for (const auto& item : Globals().UploadItems) {
    const std::string name = item.Clip();
    const std::string from = source + "\\" + name;
    const std::string to = target + "\\" + name;
    if (!platform::PathExists(from)) continue;
    // Nothing already staged is overwritten.
    if (platform::PathExists(to)) continue;
    // A name with a dot is a file; anything else a folder, staged as to + ".zip".
    const int result = name.find('.') != std::string::npos ? ShellCopy(from, to)
                                                           : CopyFolderViaArchive(ui, 0, from, to);
    if (result != 0) return result;
  }
  return 0;
}

}  // namespace korvant
