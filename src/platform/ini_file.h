#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::platform {

// An INI file read and written the way Windows' profile-string functions do: section and key
// names match in any letter case, a write adds or replaces one key and keeps every other line
// byte for byte, a missing section is appended and a missing file created. Paths are the
// program's (Windows) paths.
class IniFile {
 public:
  IniFile() = default;  // bound to no file
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  void Bind(std::string path) { path_ = std::move(path); }
  const std::string& Path() const { return path_; }
  bool IsBound() const { return !path_.empty(); }

  // The key's value without surrounding blanks, or nothing when the file, section or key is
  // missing.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;

  // 0, or the Windows error code of the failure (3 missing folder, 5 access denied, ...).
  std::uint32_t Write(std::string_view section, std::string_view key, std::string_view value);
  std::uint32_t DeleteKey(std::string_view section, std::string_view key);

 private:
  std::string path_;
};

}  // namespace korvant::platform
