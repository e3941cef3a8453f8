// Expansion of arbitrary archives into a destination that already holds a file and a link to a
// folder outside it, as a destination may. Whatever the archive holds:
//  - nothing is written outside the destination, and the archive itself is only read;
//  - an archive refused is refused before anything is written;
//  - an existing file is replaced only with -Force;
//  - an expansion that reports no failure wrote every file of the archive, byte for byte.
// Inputs whose entries claim more than a few megabytes are left out, so disk use stays bounded.
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <system_error>

#include "fuzz_support.h"
#include "platform/linux/powershell/zip_reader.h"

namespace {

namespace fs = std::filesystem;
using korvant::powershell::EntryPlace;

constexpr zip_uint64_t kMostBytes = 4 << 20;
constexpr zip_int64_t kMostEntries = 64;
constexpr std::string_view kKept = "kept before";

struct Scratch {
  fs::path root, archive, destination, fence;
};
Scratch scratch;

void RemoveScratch() {
  std::error_code ignored;
  fs::remove_all(scratch.root, ignored);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

Archive Open(const fs::path& path) {
  int error = 0;
  return Archive(zip_open(path.c_str(), ZIP_RDONLY, &error));
}

bool Small(zip_t* archive) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  if (count > kMostEntries) return false;
  zip_uint64_t total = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0) continue;
    if ((stat.valid & ZIP_STAT_SIZE) != 0) total += std::min<zip_uint64_t>(stat.size, kMostBytes);
    if (total > kMostBytes) return false;
  }
  return true;
}

// The entry's bytes, or nothing when they cannot be read whole.
std::optional<std::string> EntryBytes(zip_t* archive, zip_uint64_t index) {
  std::unique_ptr<zip_file_t, decltype(&zip_fclose)> in(zip_fopen_index(archive, index, 0),
                                                        &zip_fclose);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const zip_int64_t got = zip_fread(in.get(), buffer, sizeof buffer);
    if (got < 0) return std::nullopt;
    if (got == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

void FreshDestination() {
  std::error_code error;
  fs::remove_all(scratch.destination, error);
  FUZZ_CHECK(!error);
  fs::remove_all(scratch.fence, error);
  fs::create_directories(scratch.destination);
  fs::create_directories(scratch.fence);
  WriteFile(scratch.destination / "keep.txt", kKept);
  fs::create_directory_symlink(scratch.fence, scratch.destination / "link");
}

void CheckNothingOutside(std::string_view input) {
  for (auto it = fs::recursive_directory_iterator(scratch.root); it != fs::end(it); ++it) {
    const fs::path& path = it->path();
    if (path == scratch.destination) {
      it.disable_recursion_pending();  // what lies inside is the archive's to decide
      continue;
    }
    if (path == scratch.fence || path == scratch.archive) continue;
    std::fprintf(stderr, "written outside the destination: %s\n", path.c_str());
    FUZZ_CHECK(false);
  }
  FUZZ_CHECK(fs::is_empty(scratch.fence));
  FUZZ_CHECK(ReadFile(scratch.archive) == input);
}

// What the destination held before: its file and its link.
bool Untouched() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(scratch.destination))
    names.insert(entry.path().filename().string());
  return names == std::set<std::string>{"keep.txt", "link"} &&
         ReadFile(scratch.destination / "keep.txt") == kKept &&
         fs::is_symlink(scratch.destination / "link");
}

// After an expansion without a reported failure, every entry is there: the last file of each
// name with its bytes, every folder as a folder.
void CheckEverythingWritten(zip_t* archive) {
  std::map<fs::path, zip_uint64_t> lastFile;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(archive, index, ZIP_FL_ENC_GUESS);
    if (name == nullptr) continue;
    const std::string_view text(name);
    const auto place = EntryPlace(text);
    FUZZ_CHECK(place.has_value());
    const fs::path target = scratch.destination / *place;
    if (text.back() == '/' || text.back() == '\\') {
      FUZZ_CHECK(fs::is_directory(target));
    } else {
      lastFile[*place] = index;
    }
  }
  for (const auto& [place, index] : lastFile) {
    const auto bytes = EntryBytes(archive, index);
    FUZZ_CHECK(bytes.has_value());
    FUZZ_CHECK(fs::is_regular_file(fs::symlink_status(scratch.destination / place)));
    FUZZ_CHECK(ReadFile(scratch.destination / place) == *bytes);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string root = (fs::temp_directory_path() / "korvant-fuzz-zip-XXXXXX").string();
  FUZZ_CHECK(::mkdtemp(root.data()) != nullptr);
  scratch.root = root;
  scratch.archive = scratch.root / "archive.zip";
  scratch.destination = scratch.root / "destination";
  scratch.fence = scratch.root / "outside";
  std::atexit(RemoveScratch);
  // A file larger than any archive here may give is cut short, and the write fails instead.
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{8 << 20, 8 << 20};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = korvant::fuzz::AsText(data, size);
  WriteFile(scratch.archive, input);
  const Archive archive = Open(scratch.archive);
  if (archive && !Small(archive.get())) return -1;
  FreshDestination();

  const bool force = size % 2 == 1;
  const auto result =
      korvant::powershell::ExpandZipArchive(scratch.archive, scratch.destination, force);
  CheckNothingOutside(input);
  if (!archive) FUZZ_CHECK(result.refused);
  if (result.refused) {
    FUZZ_CHECK(!result.errors.empty());
    FUZZ_CHECK(Untouched());
    return 0;
  }
  if (!force) FUZZ_CHECK(ReadFile(scratch.destination / "keep.txt") == kKept);
  if (result.errors.empty()) CheckEverythingWritten(archive.get());
  return 0;
}
