#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace korvant::testing {

// The real store that the CTest fixture started (tools/store/store.sh), as its store.env
// describes it. Loading it points the program at the store (KORVANT_STORE_HOST and the pinned
// host key).
class TestStore {
 public:
  // Loads $KORVANT_TEST_STORE_ENV; fails the test when there is none.
  static const TestStore& Get();

  std::string Value(const std::string& key) const;
  std::string User() const { return Value("KORVANT_STORE_USER"); }
  std::string Password() const { return Value("KORVANT_STORE_PASSWORD"); }
  std::string Prefix() const { return Value("KORVANT_STORE_PREFIX"); }
  // Folders of the store on disk (host names, UTF-8 or raw bytes as the server keeps them).
  std::filesystem::path Installation() const { return Value("KORVANT_STORE_INSTALLATION"); }
  std::filesystem::path Cloud() const { return Value("KORVANT_STORE_CLOUD"); }
  std::filesystem::path CloudInstaller() const { return Cloud() / Prefix() / "Installer"; }

  // Empties the installation set and the cloud folders.
  void Clear() const;
  void PutInstallationFile(const std::string& name, std::string_view content) const;
  // Cuts every open connection; the store keeps listening.
  void Disconnect() const;

 private:
  std::map<std::string, std::string> values_;
};

// Points the program at the store with a pinned host key other than the store's, for one scope.
class WrongHostKey {
 public:
  WrongHostKey();
  ~WrongHostKey();

 private:
  std::string previous_;
};

}  // namespace korvant::testing
