#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/recording/recording_ui.h"
#include "shared/install_session.h"
#include "support/sandbox.h"
#include "support/test_store.h"
#include "support/tree_snapshot.h"

namespace korvant::testing {

// A workstation for whole runs of the workflow against the real store: a fresh drives folder
// with the user's installation at C:\BrindleHollows\Tarvo (Connection.ini, data, pdf), the
// Powershell stand-in on the PATH, an opener that only notes what it was asked to open, and an
// installation set whose two setups succeed.
class Workstation {
 public:
  static constexpr const char* kInstallation = "C:\\BrindleHollows\\Tarvo";
  static constexpr const char* kStaging = "C:\\Korvant\\.transfer";

  // dataBytes: the size of one extra file in the installation's data folder, so that its archive
  // takes a while to upload.
  explicit Workstation(std::size_t dataBytes = 0);
  ~Workstation();
  Workstation(const Workstation&) = delete;
  Workstation& operator=(const Workstation&) = delete;

  struct Run {
    std::string message;
    std::vector<std::uint32_t> colours;
    std::uint32_t colour = 0;
    int position = 0;
    int range = 0;
    bool closeDown = false;
    int migrationIncomplete = -1;
    std::string transferError;
    std::vector<std::string> log;
    std::vector<std::string> messageBoxes;  // their texts, in order
  };
  // One start of the program as far as the workflow goes: the user logs in with these
  // credentials and accepts every installation offered. `onMessage` runs after every change of
  // the message text, with the session, so a test can strike at a given step.
  using Hook = std::function<void(const std::string& message, InstallSession& session)>;
  Run RunOnce(const std::string& user, const std::string& password, const Hook& onMessage = {});
  Run RunOnce(const Hook& onMessage = {}) {
    return RunOnce(store_.User(), store_.Password(), onMessage);
  }
  // The same with answers the test queues itself (credentials, message boxes, file dialog).
  using Script = std::function<void(platform::RecordingUserInterface& ui)>;
  Run RunScripted(const Script& script, const Hook& onMessage = {});

  // True when the user's installation is byte for byte (and mode for mode) what it was.
  bool InstallationUnchanged() const;
  std::filesystem::path Host(const std::string& windowsPath) const {
    return sandbox_.Host(windowsPath);
  }
  const Sandbox& sandbox() const { return sandbox_; }
  TestStore& store() { return store_; }
  // The staged items that are still in the staging folder.
  std::vector<std::string> Staged() const;

 private:
  Sandbox sandbox_;
  TestStore store_;
  TreeSnapshot before_;
  std::string oldPath_;
};

// Changes the store account's password for one scope, as the store's administrator would.
class PasswordChange {
 public:
  PasswordChange(const TestStore& store, const std::string& password);
  ~PasswordChange();
  PasswordChange(const PasswordChange&) = delete;
  PasswordChange& operator=(const PasswordChange&) = delete;

 private:
  const TestStore& store_;
};

// True when `text` is one of libcurl's own error texts (the program shows no other).
bool IsCurlErrorText(const std::string& text);

// The whole message of a failed upload: what the migration wrote before it, then the failure
// line with `error` between double quotes.
std::string UploadFailedMessage(const std::string& error);

}  // namespace korvant::testing
