#include "support/zip_contents.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

#include "support/sandbox.h"

namespace korvant::testing {

namespace fs = std::filesystem;

std::map<std::string, std::string> ZipContents(const fs::path& archive) {
  int error = 0;
  std::unique_ptr<zip_t, decltype(&zip_discard)> zip(
      zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error), &zip_discard);
  if (!zip) throw std::runtime_error("cannot open archive " + archive.string());
  std::map<std::string, std::string> contents;
  const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(zip.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
      throw std::runtime_error("cannot read an entry of " + archive.string());
    }
    const std::string name = stat.name;
    if (!name.empty() && name.back() == '/') continue;
    std::string data(static_cast<std::size_t>(stat.size), '\0');
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
        zip_fopen_index(zip.get(), static_cast<zip_uint64_t>(i), 0), &zip_fclose);
    if (!file ||
        zip_fread(file.get(), data.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) {
      throw std::runtime_error(std::string("cannot read entry ") + stat.name);
    }
    contents[name] = data;
  }
  return contents;
}

std::map<std::string, std::string> FolderContents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string relative = fs::relative(entry.path(), folder).generic_string();
    if (entry.is_regular_file()) contents[relative] = Sandbox::ReadFile(entry.path());
  }
  return contents;
}

}  // namespace korvant::testing
