#include "support/test_store.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "support/sandbox.h"

namespace korvant::testing {

namespace fs = std::filesystem;

TestStore::TestStore() {
  const char* file = getenv("KORVANT_TEST_STORE_ENV");
  std::ifstream in(file != nullptr ? fs::path(file)
                                   : BuiltProgramsFolder().parent_path() / "store" / "store.env");
  if (!in) throw std::runtime_error("no store.env: is the store fixture running?");
  std::string line;
  while (std::getline(in, line)) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) values_[line.substr(0, equals)] = line.substr(equals + 1);
  }
  setenv("KORVANT_STORE_HOST", Value("KORVANT_STORE_HOST").c_str(), 1);
  setenv("KORVANT_STORE_HOSTKEY_SHA256", Value("KORVANT_STORE_HOSTKEY_SHA256").c_str(), 1);
  Clear();
}

TestStore::~TestStore() {
  Clear();
  unsetenv("KORVANT_STORE_HOST");
  unsetenv("KORVANT_STORE_HOSTKEY_SHA256");
}

std::string TestStore::Value(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) throw std::runtime_error("store.env lacks " + key);
  return it->second;
}

fs::path TestStore::CloudInstaller() const {
  return fs::path(Value("KORVANT_STORE_CLOUD")) / Prefix() / "Installer";
}

void TestStore::Clear() const {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(InstallationSet(), ignored)) {
    fs::remove_all(entry.path(), ignored);
  }
  for (const auto& entry : fs::directory_iterator(Value("KORVANT_STORE_CLOUD"), ignored)) {
    fs::remove_all(entry.path(), ignored);
  }
}

void TestStore::AddToInstallationSet(const std::string& name, const std::string& content,
                                     bool executable) const {
  const fs::path path = InstallationSet() / name;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
  fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644));
}

std::string SetupScript(const std::string& detectionFile, int exitCode) {
  return "#!/bin/sh\nmkdir -p \"$(dirname \"$KORVANT_DRIVES/" + detectionFile + "\")\"\n" +
         "echo \"$*\" > \"$KORVANT_DRIVES/" + detectionFile + "\"\nexit " +
         std::to_string(exitCode) + "\n";
}

void TestStore::AddWorkingInstallationSet() const {
  AddToInstallationSet("Tarvo.lnk", "shortcut");
  AddToInstallationSet("Tarvo.connect", "[connection]\r\n");
  AddToInstallationSet("Setup-RemoteAppClient.exe", SetupScript(kRemoteAppDetection));
  AddToInstallationSet("Setup-VirtualPrinter-Client.exe", SetupScript(kPrinterDetection));
}

void TestStore::AddToCloud(const std::string& name, const std::string& content) const {
  const fs::path path = CloudInstaller() / name;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
  // The account must be able to replace what it finds there, as with its own uploads.
  const passwd* account = getpwnam(User().c_str());
  if (account == nullptr) throw std::runtime_error("no account " + User());
  for (fs::path p = path; p != fs::path(Value("KORVANT_STORE_CLOUD")); p = p.parent_path()) {
    if (chown(p.c_str(), account->pw_uid, static_cast<gid_t>(-1)) != 0) {
      throw std::runtime_error("cannot hand over " + p.string());
    }
  }
}

void TestStore::Disconnect() const {
  const std::string command =
      "'" + Value("KORVANT_STORE_SCRIPT") + "' disconnect '" + Value("KORVANT_STORE_STATE") + "'";
  if (system(command.c_str()) != 0) throw std::runtime_error("cannot cut the store's connections");
}

WrongHostKey::WrongHostKey() {
  const char* pinned = getenv("KORVANT_STORE_HOSTKEY_SHA256");
  previous_ = pinned != nullptr ? pinned : "";
  // A well-formed fingerprint of no key the store has.
  setenv("KORVANT_STORE_HOSTKEY_SHA256", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 1);
}

WrongHostKey::~WrongHostKey() {
  setenv("KORVANT_STORE_HOSTKEY_SHA256", previous_.c_str(), 1);
}

void TestStore::MakeUnreachable() const {
  // Port 1 on loopback: nothing listens there, so every connection is refused at once.
  setenv("KORVANT_STORE_HOST", "127.0.0.1:1", 1);
}

}  // namespace korvant::testing
