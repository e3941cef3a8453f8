#include "test_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace korvant::testing {

namespace fs = std::filesystem;

namespace {

// $KORVANT_TEST_STORE_ENV, or where the fixture puts it: <build>/store beside <build>/bin.
fs::path SettingsFile() {
  if (const char* file = getenv("KORVANT_TEST_STORE_ENV")) return file;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return program.parent_path().parent_path() / "store" / "store.env";
}

}  // namespace

const TestStore& TestStore::Get() {
  static const TestStore store = [] {
    TestStore loaded;
    const fs::path file = SettingsFile();
    std::ifstream in(file);
    if (!in) throw std::runtime_error("no store settings in " + file.string());
    for (std::string line; std::getline(in, line);) {
      const auto equals = line.find('=');
      if (equals != std::string::npos)
        loaded.values_[line.substr(0, equals)] = line.substr(equals + 1);
    }
    setenv("KORVANT_STORE_HOST", loaded.Value("KORVANT_STORE_HOST").c_str(), 1);
    setenv("KORVANT_STORE_HOSTKEY_SHA256", loaded.Value("KORVANT_STORE_HOSTKEY_SHA256").c_str(), 1);
    return loaded;
  }();
  return store;
}

std::string TestStore::Value(const std::string& key) const {
  const auto found = values_.find(key);
  if (found == values_.end()) throw std::runtime_error("store.env holds no " + key);
  return found->second;
}

void TestStore::Clear() const {
  for (const fs::path& folder : {Installation(), Cloud()}) {
    for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  }
}

void TestStore::PutInstallationFile(const std::string& name, std::string_view content) const {
  std::ofstream out(Installation() / name, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + name + " into the store");
}

void TestStore::Disconnect() const {
  const std::string command =
      "'" + Value("KORVANT_STORE_SCRIPT") + "' disconnect '" + Value("KORVANT_STORE_STATE") + "'";
  if (system(command.c_str()) != 0) throw std::runtime_error("cannot cut the store's connections");
}

WrongHostKey::WrongHostKey() : previous_(TestStore::Get().Value("KORVANT_STORE_HOSTKEY_SHA256")) {
  // A well-formed fingerprint of no key the store has.
  setenv("KORVANT_STORE_HOSTKEY_SHA256", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 1);
}

WrongHostKey::~WrongHostKey() {
  setenv("KORVANT_STORE_HOSTKEY_SHA256", previous_.c_str(), 1);
}

}  // namespace korvant::testing
