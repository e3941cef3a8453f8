#include "platform/ini_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux/drive_mapping.h"
#include "platform/linux/file_descriptor.h"
#include "platform/linux/ini_text.h"
#include "platform/linux/windows_error_from_errno.h"
#include "platform/windows_errors.h"

namespace korvant::platform {
namespace fs = std::filesystem;

namespace {

// The file's whole content, or an errno value.
struct FileText {
  std::string text;
  int error = 0;
};

FileText ReadWhole(const fs::path& path) {
  FileText result;
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) {
    result.error = errno;
    return result;
  }
  struct stat status {};
  if (::fstat(fd.Get(), &status) == 0 && S_ISDIR(status.st_mode)) {
    result.error = EISDIR;
    return result;
  }
  char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      result.error = errno;
      return result;
    }
    if (got == 0) break;
    result.text.append(buffer, static_cast<std::size_t>(got));
  }
  return result;
}

int WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    text.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

int WriteAndClose(FileDescriptor& fd, std::string_view text) {
  int error = WriteAll(fd.Get(), text);
  if (error == 0 && ::fdatasync(fd.Get()) != 0 && errno != EINVAL) error = errno;
  const int closeError = fd.Close();
  return error != 0 ? error : closeError;
}

int CreateNew(const fs::path& path, std::string_view text) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!fd.Valid()) return errno;
  const int error = WriteAndClose(fd, text);
  if (error != 0) ::unlink(path.c_str());
  return error;
}

int OverwriteInPlace(const fs::path& path, std::string_view text) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (!fd.Valid()) return errno;
  return WriteAndClose(fd, text);
}

// An existing file is replaced through a temporary file beside it, so that a failed write
// (a full disk) leaves the old content whole. Where the folder refuses new files but the file
// itself may be written, it is written in place, as Windows would.
int Replace(const fs::path& path, std::string_view text) {
  fs::path target = path;
  std::error_code ignored;
  if (fs::is_symlink(path, ignored)) target = fs::canonical(path, ignored);
  struct stat status {};
  if (::stat(target.c_str(), &status) != 0) return errno;
  if (::access(target.c_str(), W_OK) != 0) return errno;

  std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX"));
  FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd.Valid()) {
    const int error = errno;
    if (error == EACCES || error == EPERM) return OverwriteInPlace(target, text);
    return error;
  }
  int error = ::fchmod(fd.Get(), status.st_mode & 07777) == 0 ? 0 : errno;
  if (error == 0) error = WriteAndClose(fd, text);
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temporary.c_str());
  return error;
}

std::uint32_t MissingFolderOr(std::uint32_t code) {
  return code == kErrorFileNotFound ? kErrorPathNotFound : code;
}

}  // namespace

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  if (!IsBound()) return std::nullopt;
  const FileText file = ReadWhole(HostPath(path_));
  if (file.error != 0) return std::nullopt;
  return IniValue(file.text, section, key);
}

bool IniFile::HasSection(std::string_view section) const {
  if (!IsBound()) return false;
  const FileText file = ReadWhole(HostPath(path_));
  return file.error == 0 && IniHasSection(file.text, section);
}

std::uint32_t IniFile::Write(std::string_view section, std::string_view key,
                             std::string_view value) {
  if (!IsBound()) return kErrorInvalidParameter;
  const fs::path host = HostPath(path_);
  const FileText file = ReadWhole(host);
  if (file.error == ENOENT) {
    // A missing file is created; its missing folder is ERROR_PATH_NOT_FOUND, as on Windows.
    const int error = CreateNew(host, IniWithValue({}, section, key, value));
    return MissingFolderOr(WindowsErrorFromErrno(error));
  }
  if (file.error != 0) return MissingFolderOr(WindowsErrorFromErrno(file.error));
  const std::string edited = IniWithValue(file.text, section, key, value);
  if (edited == file.text) return kErrorSuccess;
  return WindowsErrorFromErrno(Replace(host, edited));
}

std::uint32_t IniFile::DeleteKey(std::string_view section, std::string_view key) {
  if (!IsBound()) return kErrorInvalidParameter;
  const fs::path host = HostPath(path_);
  const FileText file = ReadWhole(host);
  if (file.error == ENOENT) return kErrorSuccess;  // nothing to delete
  if (file.error != 0) return MissingFolderOr(WindowsErrorFromErrno(file.error));
  const std::string edited = IniWithoutKey(file.text, section, key);
  if (edited == file.text) return kErrorSuccess;
  return WindowsErrorFromErrno(Replace(host, edited));
}

}  // namespace korvant::platform
