#include "platform/shell_file_copy.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/drive_mapping.h"
#include "platform/linux/file_descriptor.h"
#include "platform/linux/windows_error_from_errno.h"
#include "platform/linux/windows_wildcard.h"
#include "platform/windows_errors.h"
#include "shared/fixed_text.h"
#include "shared/windows1252.h"

// The shell's copy as this program uses it. There are no dialogs on this host: the flags that
// would have the shell ask instead decide the answer (no confirmation: replace; no confirmation
// for new folders: make them), and without them the copy refuses rather than asks.

namespace korvant::platform {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopyChunk = 1 << 20;

int CopyContent(int from, int to) {
  // The kernel copies without passing the data through us where the file systems allow it.
  bool kernelCopy = true;
  std::vector<char> buffer;
  for (;;) {
    if (kernelCopy) {
      const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, kCopyChunk, 0);
      if (copied > 0) continue;
      if (copied == 0) return 0;
      if (errno == EINTR) continue;
      if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return errno;
      kernelCopy = false;
      buffer.resize(kCopyChunk);
    }
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno;
    if (got == 0) return 0;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return errno;
      done += put;
    }
  }
}

class Copier {
 public:
  explicit Copier(std::uint32_t flags) : flags_(flags) {}

  // Windows error code of the first failure; the copy stops there, as the shell does.
  std::uint32_t CopyFile(const fs::path& from, const fs::path& to) {
    FileDescriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.Valid()) return WindowsErrorFromErrno(errno);
    struct stat source {};
    if (::fstat(in.Get(), &source) != 0) return WindowsErrorFromErrno(errno);

    struct stat existing {};
    if (::stat(to.c_str(), &existing) == 0) {
      if (S_ISDIR(existing.st_mode)) return kErrorAccessDenied;
      if (existing.st_dev == source.st_dev && existing.st_ino == source.st_ino) {
        return kErrorInvalidParameter;  // a file onto itself would only truncate it
      }
      if ((flags_ & kFofNoConfirmation) == 0) return kErrorFileExists;
    }
    FileDescriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!out.Valid()) return MissingPath(WindowsErrorFromErrno(errno));
    int error = CopyContent(in.Get(), out.Get());
    if (error == 0) {
      // Windows keeps a copied file's last-write time.
      const timespec times[2] = {source.st_atim, source.st_mtim};
      ::futimens(out.Get(), times);
      ::fchmod(out.Get(), source.st_mode & 0777);
    }
    if (::close(out.Release()) != 0 && error == 0) error = errno;
    if (error != 0) {
      ::unlink(to.c_str());  // a half-copied file is no copy
      return WindowsErrorFromErrno(error);
    }
    return kErrorSuccess;
  }

  std::uint32_t CopyFolder(const fs::path& from, const fs::path& to) {
    if (const auto made = MakeFolder(to); made != kErrorSuccess) return made;
    if ((flags_ & kFofNoRecursion) != 0) return kErrorSuccess;
    return CopyEntries(from, to, "*");
  }

  // Copies the entries of `folder` that match `pattern` into `to`, made when missing.
  std::uint32_t CopyEntries(const fs::path& folder, const fs::path& to, std::string_view pattern) {
    if (const auto made = MakeFolder(to); made != kErrorSuccess) return made;
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      entries.push_back(*it);
    }
    if (error) return WindowsErrorFromErrno(error.value());
    for (const auto& entry : entries) {
      const std::string name = entry.path().filename().string();
      if (!MatchesWindowsWildcard(Utf8ToWindows1252(name), pattern)) continue;
      std::error_code statusError;
      const auto status = fs::status(entry.path(), statusError);
      std::uint32_t result = kErrorSuccess;
      if (fs::is_directory(status)) {
        if ((flags_ & kFofFilesOnly) != 0) continue;
        result = (flags_ & kFofNoRecursion) != 0 ? MakeFolder(to / name)
                                                 : CopyFolder(entry.path(), to / name);
      } else if (fs::is_regular_file(status)) {
        result = CopyFile(entry.path(), to / name);
      }
      if (result != kErrorSuccess) return result;
    }
    return kErrorSuccess;
  }

  std::uint32_t MakeFolder(const fs::path& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error)) return kErrorSuccess;
    if (fs::exists(folder, error)) return kErrorDirectory;  // a file holds the name
    if ((flags_ & kFofNoConfirmMkdir) == 0 && !fs::is_directory(folder.parent_path(), error)) {
      return kErrorPathNotFound;
    }
    fs::create_directories(folder, error);
    return error ? MissingPath(WindowsErrorFromErrno(error.value())) : kErrorSuccess;
  }

 private:
  static std::uint32_t MissingPath(std::uint32_t code) {
    return code == kErrorFileNotFound ? kErrorPathNotFound : code;
  }

  std::uint32_t flags_;
};

bool Contains(const fs::path& folder, const fs::path& path) {
  std::error_code error;
  const fs::path outer = fs::weakly_canonical(folder, error);
  const fs::path inner = fs::weakly_canonical(path, error);
  auto o = outer.begin();
  auto i = inner.begin();
  for (; o != outer.end(); ++o, ++i) {
    if (i == inner.end() || *o != *i) return false;
  }
  return true;
}

}  // namespace

int ShellFileCopy(std::string_view source, std::string_view destination, std::uint32_t flags) {
  const std::string_view from = ClipBlanks(source);
  const std::string_view to = ClipBlanks(destination);
  if (from.empty() || to.empty()) return static_cast<int>(kErrorInvalidParameter);
  Copier copier(flags);
  const fs::path hostTo = HostPath(to);

  const auto separator = from.find_last_of("\\/");
  const std::string_view lastName =
      separator == std::string_view::npos ? from : from.substr(separator + 1);
  if (HasWildcard(lastName)) {
    const std::string_view folder =
        separator == std::string_view::npos ? std::string_view(".") : from.substr(0, separator);
    const fs::path hostFolder = HostPath(folder.empty() ? std::string_view("\\") : folder);
    std::error_code error;
    if (!fs::is_directory(hostFolder, error)) return static_cast<int>(kErrorPathNotFound);
    if (Contains(hostFolder, hostTo)) return static_cast<int>(kErrorInvalidParameter);
    return static_cast<int>(copier.CopyEntries(hostFolder, hostTo, lastName));
  }

  const fs::path hostFrom = HostPath(from);
  std::error_code error;
  const auto status = fs::status(hostFrom, error);
  if (!fs::exists(status)) {
    return static_cast<int>(fs::is_directory(hostFrom.parent_path(), error) ? kErrorFileNotFound
                                                                            : kErrorPathNotFound);
  }
  // Onto an existing folder the source goes inside it; any other destination is its new name.
  const fs::path target = fs::is_directory(hostTo, error) ? hostTo / hostFrom.filename() : hostTo;
  if (fs::is_directory(status)) {
    if (Contains(hostFrom, target)) return static_cast<int>(kErrorInvalidParameter);
    return static_cast<int>(copier.CopyFolder(hostFrom, target));
  }
  if (const auto made = copier.MakeFolder(target.parent_path()); made != kErrorSuccess) {
    return static_cast<int>(made);
  }
  return static_cast<int>(copier.CopyFile(hostFrom, target));
}

int ShellCreateFolder(std::string_view path) {
  const fs::path host = HostPath(ClipBlanks(path));
  std::error_code error;
  if (fs::exists(host, error)) return static_cast<int>(kErrorAlreadyExists);
  fs::create_directories(host, error);
  if (!error) return static_cast<int>(kErrorSuccess);
  const auto code = WindowsErrorFromErrno(error.value());
  return static_cast<int>(code == kErrorFileNotFound ? kErrorPathNotFound : code);
}

}  // namespace korvant::platform
