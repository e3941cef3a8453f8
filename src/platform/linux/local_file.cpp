#include "platform/local_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/drive_mapping.h"
#include "platform/linux/windows_error_from_errno.h"
#include "platform/windows_errors.h"

namespace korvant::platform {
namespace {

// CreateFile tells a missing file (2) from a missing folder on the way to it (3).
std::uint32_t OpenErrorFor(int error, const std::string& hostPath) {
  if (error != ENOENT) return WindowsErrorFromErrno(error);
  const auto slash = hostPath.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return kErrorFileNotFound;
  struct stat folder {};
  const std::string parent = hostPath.substr(0, slash);
  return ::stat(parent.c_str(), &folder) == 0 && S_ISDIR(folder.st_mode) ? kErrorFileNotFound
                                                                         : kErrorPathNotFound;
}

}  // namespace

LocalFileHandle::~LocalFileHandle() {
  Close();
}

bool LocalFileHandle::OpenForRead(std::string_view path) {
  if (IsOpen()) Close();
  const std::string host = HostPath(path).string();
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    lastError_ = OpenErrorFor(errno, host);
    return false;
  }
  // CreateFile refuses a folder opened as a file.
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
    ::close(fd);
    lastError_ = kErrorAccessDenied;
    return false;
  }
  native_ = fd;
  lastError_ = kErrorSuccess;
  return true;
}

bool LocalFileHandle::OpenForWrite(std::string_view path) {
  if (IsOpen()) Close();
  const std::string host = HostPath(path).string();
  const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    lastError_ = OpenErrorFor(errno, host);
    return false;
  }
  native_ = fd;
  lastError_ = kErrorSuccess;
  return true;
}

bool LocalFileHandle::Read(void* buffer, std::uint32_t count, std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (!IsOpen()) {
    lastError_ = kErrorInvalidHandle;
    return false;
  }
  // ReadFile on a file fills the whole buffer unless the file ends first.
  auto* into = static_cast<char*>(buffer);
  while (bytesRead < count) {
    const ssize_t got = ::read(static_cast<int>(native_), into + bytesRead, count - bytesRead);
    if (got < 0) {
      if (errno == EINTR) continue;
      lastError_ = WindowsErrorFromErrno(errno);
      return false;
    }
    if (got == 0) break;
    bytesRead += static_cast<std::uint32_t>(got);
  }
  lastError_ = kErrorSuccess;
  return true;
}

bool LocalFileHandle::Write(const void* buffer, std::uint32_t count, std::uint32_t& bytesWritten) {
  bytesWritten = 0;
  if (!IsOpen()) {
    lastError_ = kErrorInvalidHandle;
    return false;
  }
  // WriteFile on a file writes everything or fails.
  const auto* from = static_cast<const char*>(buffer);
  while (bytesWritten < count) {
    const ssize_t put =
        ::write(static_cast<int>(native_), from + bytesWritten, count - bytesWritten);
    if (put < 0) {
      if (errno == EINTR) continue;
      lastError_ = WindowsErrorFromErrno(errno);
      return false;
    }
    bytesWritten += static_cast<std::uint32_t>(put);
  }
  lastError_ = kErrorSuccess;
  return true;
}

bool LocalFileHandle::Close() {
  if (!IsOpen()) return true;
  const int fd = static_cast<int>(native_);
  // The descriptor is gone even when close() reports an error; closing it again could close
  // someone else's file.
  native_ = kClosed;
  if (::close(fd) != 0 && errno != EINTR) {
    lastError_ = WindowsErrorFromErrno(errno);
    return false;
  }
  lastError_ = kErrorSuccess;
  return true;
}

}  // namespace korvant::platform
