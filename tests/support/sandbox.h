#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvant::testing {

// A fresh folder for one test, deleted with everything in it when the test ends. It also serves
// as the drives folder (KORVANT_DRIVES), so "C:\X" of the program is <sandbox>/drives/C/X.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path Drives() const { return root_ / "drives"; }
  // Where a Windows path of the program lands on this host.
  std::filesystem::path Host(std::string_view windowsPath) const;

  // Writes a file (creating its folders) and returns its host path.
  std::filesystem::path WriteFile(std::string_view windowsPath, std::string_view content) const;
  static std::string ReadFile(const std::filesystem::path& path);

 private:
  std::filesystem::path root_;
  std::string previousDrives_;
  bool hadDrives_ = false;
  std::filesystem::path previousDirectory_;
};

// The folder the project's programs are built into (KorvantUploader, Powershell, helpers).
std::filesystem::path BuiltProgramsFolder();

}  // namespace korvant::testing
