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
  // The installation set of a working store: the shortcut, the connection file and two setups
  // that install their clients (see SetupScript).
  void AddWorkingInstallationSet() const;
  // Puts a file into the first account's cloud installer folder, owned by that account.
  void AddToCloud(const std::string& name, const std::string& content) const;
  // Points the program at a port where no store listens, as if the store had gone away.
  void MakeUnreachable() const;
  // Cuts every open connection; the store keeps listening.
  void Disconnect() const;

 private:
  std::map<std::string, std::string> values_;
};

// A setup for the installation set: a script that installs its client by writing the client's
// detection file (a path below the drives folder, such as "C/Windows/System32/vpprint.exe") with
// the arguments it got, then exits with `exitCode`.
std::string SetupScript(const std::string& detectionFile, int exitCode = 0);
inline constexpr const char* kRemoteAppDetection =
    "C/Program Files (x86)/Connection Client/RemoteApp/RemoteAppClient.exe";
inline constexpr const char* kPrinterDetection = "C/Windows/System32/vpprint.exe";

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
