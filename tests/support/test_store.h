#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace korvant::testing {

// The real store that the CTest fixture started (tools/store/store.sh), as its store.env tells.
// Construction points the program at it (KORVANT_STORE_HOST, KORVANT_STORE_HOSTKEY_SHA256) and
// empties the installation set and the first account's cloud folder, so each test starts clean.
class TestStore {
 public:
  TestStore();
  ~TestStore();
  TestStore(const TestStore&) = delete;
  TestStore& operator=(const TestStore&) = delete;

  std::string Value(const std::string& key) const;
  std::string User() const { return Value("KORVANT_STORE_USER"); }
  std::string Password() const { return Value("KORVANT_STORE_PASSWORD"); }
  std::string Prefix() const { return Value("KORVANT_STORE_PREFIX"); }
  // The store's folders on disk.
  std::filesystem::path InstallationSet() const { return Value("KORVANT_STORE_INSTALLATION"); }
  std::filesystem::path Cloud() const { return Value("KORVANT_STORE_CLOUD"); }
  std::filesystem::path CloudInstaller() const;  // .../C:/Installaties/<prefix>/Installer

  // Empties the installation set and every cloud folder.
  void Clear() const;

  // Puts a file into the installation set, readable by every account.
  void AddToInstallationSet(const std::string& name, const std::string& content,
                            bool executable = false) const;
  // Puts a file into the first account's cloud installer folder, owned by that account.
  void AddToCloud(const std::string& name, const std::string& content) const;
  // Points the program at a port where no store listens, as if the store had gone away.
  void MakeUnreachable() const;
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
  WrongHostKey(const WrongHostKey&) = delete;
  WrongHostKey& operator=(const WrongHostKey&) = delete;

 private:
  std::string previous_;
};

}  // namespace korvant::testing
