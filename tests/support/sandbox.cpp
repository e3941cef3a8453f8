#include "support/sandbox.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/linux/drive_mapping.h"

namespace korvant::testing {

namespace fs = std::filesystem;

Sandbox::Sandbox() {
  std::string pattern = (fs::temp_directory_path() / "korvant-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directories(Drives());
  if (const char* drives = getenv("KORVANT_DRIVES")) {
    hadDrives_ = true;
    previousDrives_ = drives;
  }
  setenv("KORVANT_DRIVES", Drives().c_str(), 1);
  // The program reads and writes ".\KorvantUploader.INI" in the current folder.
  previousDirectory_ = fs::current_path();
  fs::create_directories(root_ / "work");
  fs::current_path(root_ / "work");
}

Sandbox::~Sandbox() {
  std::error_code ignored;
  fs::current_path(previousDirectory_, ignored);
  if (hadDrives_) {
    setenv("KORVANT_DRIVES", previousDrives_.c_str(), 1);
  } else {
    unsetenv("KORVANT_DRIVES");
  }
  // Tests make folders read-only to provoke failures; give the owner access back before removal.
  for (auto it = fs::recursive_directory_iterator(root_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
}

fs::path Sandbox::Host(std::string_view windowsPath) const {
  return platform::HostPath(windowsPath);
}

fs::path Sandbox::WriteFile(std::string_view windowsPath, std::string_view content) const {
  const fs::path path = Host(windowsPath);
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path;
}

std::string Sandbox::ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

fs::path BuiltProgramsFolder() {
  if (const char* bin = getenv("KORVANT_TEST_BIN")) return bin;
  return fs::current_path();
}

}  // namespace korvant::testing
