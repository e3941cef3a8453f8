#include "platform/linux/powershell/zip_writer.h"

#include <sys/stat.h>
#include <zip.h>

#include <memory>
#include <system_error>

namespace korvant::powershell {
namespace fs = std::filesystem;

namespace {

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using OpenArchive = std::unique_ptr<zip_t, ArchiveCloser>;

class EntryAdder {
 public:
  EntryAdder(zip_t* archive, const fs::path& self, Compression compression)
      : archive_(archive), self_(self), compression_(compression) {}

  std::string AddItem(const fs::path& item) {
    std::error_code error;
    const auto status = fs::status(item, error);
    if (fs::is_directory(status)) return AddFolder(item, item.filename().string());
    if (fs::is_regular_file(status)) {
      if (IsSelf(item)) return {};  // an old archive inside its own source is no content
      return AddFile(item, item.filename().string());
    }
    return "'" + item.string() + "' is neither a file nor a folder";
  }

 private:
  std::string AddFolder(const fs::path& folder, const std::string& name) {
    std::error_code error;
    bool empty = true;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      empty = false;
      const fs::path& path = it->path();
      const std::string child = name + "/" + path.filename().string();
      std::error_code statusError;
      const auto status = fs::status(path, statusError);
      std::string failure;
      if (fs::is_directory(status)) {
        failure = AddFolder(path, child);
      } else if (fs::is_regular_file(status)) {
        if (IsSelf(path)) continue;
        failure = AddFile(path, child);
      }
      if (!failure.empty()) return failure;
    }
    if (error) return "cannot read the folder '" + folder.string() + "': " + error.message();
    if (!empty) return {};
    const zip_int64_t index = zip_dir_add(archive_, name.c_str(), ZIP_FL_ENC_GUESS);
    if (index < 0) return Failure(name);
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) {
      zip_file_set_mtime(archive_, static_cast<zip_uint64_t>(index), status.st_mtime, 0);
    }
    return {};
  }

  std::string AddFile(const fs::path& file, const std::string& name) {
    // The file is opened and read only while the archive is written, in one streaming pass; a
    // length of 0 takes it to its end.
    zip_source_t* source = zip_source_file(archive_, file.c_str(), 0, 0);
    if (source == nullptr) return Failure(file.string());
    const zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_GUESS);
    if (index < 0) {
      zip_source_free(source);
      return Failure(name);
    }
    const auto [method, level] = Method();
    if (zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), method, level) != 0) {
      return Failure(name);
    }
    return {};
  }

  bool IsSelf(const fs::path& path) const {
    std::error_code error;
    return fs::equivalent(path, self_, error);
  }

  std::pair<zip_int32_t, zip_uint32_t> Method() const {
    switch (compression_) {
      case Compression::kStore:
        return {ZIP_CM_STORE, 0};
      case Compression::kFastest:
        return {ZIP_CM_DEFLATE, 1};
      case Compression::kOptimal:
        return {ZIP_CM_DEFLATE, 9};
    }
    return {ZIP_CM_STORE, 0};
  }

  std::string Failure(const std::string& what) const {
    return "cannot add '" + what + "': " + zip_strerror(archive_);
  }

  zip_t* archive_;
  fs::path self_;
  Compression compression_;
};

}  // namespace

std::string WriteZipArchive(const std::vector<fs::path>& items, const fs::path& archive,
                            Compression compression) {
  int openError = 0;
  OpenArchive zip(zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &openError));
  if (!zip) {
    zip_error_t error;
    zip_error_init_with_code(&error, openError);
    std::string why = "cannot create '" + archive.string() + "': " + zip_error_strerror(&error);
    zip_error_fini(&error);
    return why;
  }
  EntryAdder adder(zip.get(), archive, compression);
  for (const auto& item : items) {
    if (auto failure = adder.AddItem(item); !failure.empty()) return failure;
  }
  if (zip_get_num_entries(zip.get(), 0) == 0) return "there is nothing to archive";
  if (zip_close(zip.get()) != 0) {
    return "cannot write '" + archive.string() + "': " + zip_strerror(zip.get());
  }
  zip.release();  // closed
  return {};
}

}  // namespace korvant::powershell
