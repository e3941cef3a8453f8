#include "platform/linux/powershell/zip_reader.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <memory>
#include <system_error>
#include <vector>

namespace korvant::powershell {
namespace fs = std::filesystem;

namespace {

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

constexpr std::size_t kChunk = 1 << 20;

struct Entry {
  zip_uint64_t index = 0;
  fs::path place;
  bool folder = false;
  std::string name;
};

bool Inside(const fs::path& folder, const fs::path& path) {
  auto f = folder.begin();
  auto p = path.begin();
  for (; f != folder.end(); ++f, ++p) {
    if (p == path.end() || *f != *p) return false;
  }
  return true;
}

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return 0;
}

class Expander {
 public:
  Expander(zip_t* archive, fs::path destination, bool force)
      : archive_(archive), destination_(std::move(destination)), force_(force) {}

  void Folder(const Entry& entry, std::string& errors) {
    MakeFoldersInside(entry.place, entry.name, errors);
  }

  void File(const Entry& entry, std::vector<char>& buffer, std::string& errors) {
    const fs::path target = destination_ / entry.place;
    std::error_code error;
    if (!MakeFoldersInside(entry.place.parent_path(), entry.name, errors)) return;
    // A link already inside the destination must not carry a file out of it.
    if (!Inside(canonicalDestination_, fs::canonical(target.parent_path(), error)) || error) {
      errors += "'" + entry.name + "' would be written outside the destination\n";
      return;
    }
    const auto status = fs::symlink_status(target, error);
    if (fs::is_directory(status)) {
      errors += "'" + target.string() + "' is a folder\n";
      return;
    }
    if (fs::exists(status) && !force_) {
      errors += "the file '" + target.string() + "' already exists\n";
      return;
    }
    if (fs::is_symlink(status)) fs::remove(target, error);

    std::unique_ptr<zip_file_t, EntryCloser> in(zip_fopen_index(archive_, entry.index, 0));
    if (!in) {
      errors += "cannot read '" + entry.name + "': " + zip_strerror(archive_) + "\n";
      return;
    }
    const int fd =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      errors += "cannot write '" + target.string() + "': " + strerror(errno) + "\n";
      return;
    }
    std::string failure;
    for (;;) {
      const zip_int64_t got = zip_fread(in.get(), buffer.data(), buffer.size());
      if (got < 0) {
        failure = std::string("cannot read '") + entry.name + "': " + zip_file_strerror(in.get());
        break;
      }
      if (got == 0) break;
      if (const int put = WriteAll(fd, buffer.data(), static_cast<std::size_t>(got)); put != 0) {
        failure = "cannot write '" + target.string() + "': " + strerror(put);
        break;
      }
    }
    zip_stat_t stat;
    if (failure.empty() && zip_stat_index(archive_, entry.index, 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_MTIME) != 0) {
      const timespec times[2] = {{stat.mtime, 0}, {stat.mtime, 0}};
      ::futimens(fd, times);
    }
    if (::close(fd) != 0 && failure.empty()) {
      failure = "cannot write '" + target.string() + "': " + strerror(errno);
    }
    if (!failure.empty()) {
      ::unlink(target.c_str());  // half a file is no file of the archive
      errors += failure + "\n";
    }
  }

  void SetCanonicalDestination(fs::path path) { canonicalDestination_ = std::move(path); }

 private:
  // Makes the folders of `relative` below the destination one by one, so that a link already in
  // the destination that leads elsewhere stops the entry before any folder is made through it.
  bool MakeFoldersInside(const fs::path& relative, const std::string& name, std::string& errors) {
    fs::path current = destination_;
    for (const auto& part : relative) {
      current /= part;
      std::error_code error;
      const auto status = fs::symlink_status(current, error);
      if (fs::is_symlink(status)) {
        const fs::path resolved = fs::canonical(current, error);
        if (error || !Inside(canonicalDestination_, resolved)) {
          errors += "'" + name + "' would be written outside the destination\n";
          return false;
        }
      } else if (!fs::exists(status)) {
        fs::create_directory(current, error);
      }
      if (error || !fs::is_directory(current, error)) {
        errors += "cannot create the folder for '" + name + "'" +
                  (error ? ": " + error.message() : std::string()) + "\n";
        return false;
      }
    }
    return true;
  }

  zip_t* archive_;
  fs::path destination_;
  fs::path canonicalDestination_;
  bool force_;
};

}  // namespace

std::optional<fs::path> EntryPlace(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\') return std::nullopt;
  if (name.find(':') != std::string_view::npos) return std::nullopt;  // drive or stream
  if (name.find('\0') != std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != '/' && name[i] != '\\') continue;
    const auto part = name.substr(start, i - start);
    start = i + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  if (parts.empty()) return std::nullopt;
  fs::path place;
  for (const auto part : parts) place /= std::string(part);
  return place;
}

ExpandResult ExpandZipArchive(const fs::path& archive, const fs::path& destination, bool force) {
  ExpandResult result;
  int openError = 0;
  std::unique_ptr<zip_t, ArchiveCloser> zip(zip_open(archive.c_str(), ZIP_RDONLY, &openError));
  if (!zip) {
    zip_error_t error;
    zip_error_init_with_code(&error, openError);
    result.refused = true;
    result.errors =
        "cannot open the archive '" + archive.string() + "': " + zip_error_strerror(&error) + "\n";
    zip_error_fini(&error);
    return result;
  }

  std::vector<Entry> entries;
  const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* raw = zip_get_name(zip.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
    if (raw == nullptr) continue;  // deleted entry
    Entry entry;
    entry.index = static_cast<zip_uint64_t>(i);
    entry.name = raw;
    const auto place = EntryPlace(entry.name);
    if (!place) {
      result.refused = true;
      result.errors += "the entry '" + entry.name + "' would land outside the destination\n";
      continue;
    }
    entry.place = *place;
    entry.folder = entry.name.back() == '/' || entry.name.back() == '\\';
    entries.push_back(std::move(entry));
  }
  if (result.refused) return result;

  std::error_code error;
  fs::create_directories(destination, error);
  if (error || !fs::is_directory(destination, error)) {
    result.refused = true;
    result.errors = "cannot create the destination '" + destination.string() + "'\n";
    return result;
  }
  Expander expander(zip.get(), destination, force);
  expander.SetCanonicalDestination(fs::canonical(destination, error));
  std::vector<char> buffer(kChunk);
  for (const auto& entry : entries) {
    if (entry.folder) {
      expander.Folder(entry, result.errors);
    } else {
      expander.File(entry, buffer, result.errors);
    }
  }
  return result;
}

}  // namespace korvant::powershell
