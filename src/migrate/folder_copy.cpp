#include "migrate/folder_copy.h"

#include <string>

#include "migrate/archive_commands.h"
#include "migrate/shell_copy.h"
#include "platform/file_system.h"
#include "platform/shell_file_copy.h"
#include "shared/fixed_text.h"

namespace korvant {

namespace {

std::string_view ParentFolder(std::string_view path) {
  const auto separator = path.find_last_of('\\');
  if (separator == std::string_view::npos) return {};
  // "C:\X" has the parent "C:\", whose separator belongs to it.
  if (separator == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, separator);
}

// A name beside the destination that holds no file: the archive is made there, never in the
// user's installation, and it can meet no file of anyone else.
std::string UnusedArchiveName(std::string_view destination) {
  const std::string stem = std::string(destination) + ".partial";
  std::string name = stem + ".zip";
  for (int n = 2; platform::PathExists(name); ++n) name = stem + "-" + std::to_string(n) + ".zip";
  return name;
}

}  // namespace

int CopyFolderViaArchive(platform::UserInterface& ui, int expand, std::string_view source,
                         std::string_view destination) {
  const std::string from(ClipBlanks(source));
  const std::string to(ClipBlanks(destination));
  const std::string target = to + ".zip";

  // PowerShell makes no folders for its archive; the shell copy would have made this one anyway.
  if (const auto parent = ParentFolder(to); !parent.empty() && !platform::PathExists(parent)) {
    platform::ShellCreateFolder(parent);
  }
  const std::string archive = UnusedArchiveName(to);
  const bool compressed = CompressArchiveReportingExit(ui, from + "\\*", archive) == 0;
  if (!compressed) {
    // What a failed run left behind is no archive of the folder.
    platform::RemoveFile(archive);
  }

  if (compressed && platform::PathExists(archive)) {
    // Beside each other on one volume, the archive simply takes the target's name: a gigabyte of
    // data is not written twice. Where that fails, the shell copy does the work as before.
    const int copied =
        platform::MoveFileReplacing(archive, target) == 0 ? 0 : ShellCopy(archive, target);
    const bool arrived = copied == 0 && platform::PathExists(target);
    platform::RemoveFile(archive);
    if (copied != 0) return copied;
    if (!arrived) return -1;
    if (expand != 0) {
      ExpandZipBeside(ui, target);
      platform::RemoveFile(target);
    }
    return 0;
  }
  return ShellCopy(from + "\\*", to);
}

}  // namespace korvant
