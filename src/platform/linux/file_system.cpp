#include "platform/file_system.h"

#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/linux/drive_mapping.h"
#include "platform/linux/windows_error_from_errno.h"
#include "platform/windows_errors.h"
#include "shared/windows1252.h"

namespace korvant::platform {
namespace fs = std::filesystem;

bool PathExists(std::string_view path) {
  std::error_code error;
  return fs::exists(HostPath(path), error);
}

bool IsFolder(std::string_view path) {
  std::error_code error;
  return fs::is_directory(HostPath(path), error);
}

bool RemoveFile(std::string_view path) {
  const fs::path host = HostPath(path);
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(host, error))) return false;
  return ::unlink(host.c_str()) == 0;
}

std::uint32_t MoveFileReplacing(std::string_view from, std::string_view to) {
  const fs::path source = HostPath(from);
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(source, error))) return kErrorAccessDenied;
  if (::rename(source.c_str(), HostPath(to).c_str()) != 0) return WindowsErrorFromErrno(errno);
  return 0;
}

bool RemoveEmptyFolder(std::string_view path) {
  return ::rmdir(HostPath(path).c_str()) == 0;
}

std::vector<std::string> ListPlainFiles(std::string_view folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(HostPath(folder), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    // A leading dot is this host's hidden attribute; sockets, devices and folders are no plain
    // files.
    if (name.empty() || name[0] == '.') continue;
    std::error_code statusError;
    if (!it->is_regular_file(statusError)) continue;
    names.push_back(Utf8ToWindows1252(name));
  }
  // NTFS lists a folder in the order of its names, letter case ignored.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return UpperCase1252(a) < UpperCase1252(b);
  });
  return names;
}

}  // namespace korvant::platform
