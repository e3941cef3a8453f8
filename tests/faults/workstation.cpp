#include "workstation.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

#include "install/run_installation.h"
#include "shared/program_globals.h"
#include "transfer/curl_class.h"

namespace korvant::testing {

namespace fs = std::filesystem;

Workstation::Workstation(std::size_t dataBytes) {
  InitialiseGlobals("/korvant/KorvantUploader");
  oldPath_ = getenv("PATH");
  setenv("PATH", (BuiltProgramsFolder().string() + ":" + oldPath_).c_str(), 1);
  const fs::path opener = sandbox_.Root() / "open.sh";
  std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> \"" << (sandbox_.Root() / "opened").string()
                        << "\"\n";
  fs::permissions(opener, fs::perms(0755));
  setenv("KORVANT_OPEN", opener.c_str(), 1);

  const std::string installation = kInstallation;
  sandbox_.WriteFile(installation + "\\Tarvo.exe", "exe");
  sandbox_.WriteFile(installation + "\\Connection.ini",
                     "[Korvant]\r\nklant=Bakkerij\r\n\r\n[con1]\r\nserver=db\r\n");
  sandbox_.WriteFile(installation + "\\data\\klanten.dat", "klant 1\nklant 2\n");
  if (dataBytes > 0) {
    std::string bulk(dataBytes, '\0');
    // Not one repeated byte: nothing on the way may shrink it.
    for (std::size_t i = 0; i < bulk.size(); ++i) bulk[i] = static_cast<char>((i * 7919) >> 5);
    sandbox_.WriteFile(installation + "\\data\\2025\\boek.dat", bulk);
  }
  sandbox_.WriteFile(installation + "\\pdf\\factuur.pdf", "%PDF-1.4");
  before_ = SnapshotTree(sandbox_.Host(installation));

  store_.AddWorkingInstallationSet();
}

Workstation::~Workstation() {
  setenv("PATH", oldPath_.c_str(), 1);
  unsetenv("KORVANT_OPEN");
}

Workstation::Run Workstation::RunOnce(const std::string& user, const std::string& password,
                                      const Hook& onMessage) {
  return RunScripted(
      [&](platform::RecordingUserInterface& ui) {
        ui.AnswerCredentials(platform::DialogEnd::kOk, user, password);
        for (int i = 0; i < 4; ++i) ui.AnswerMessageBox(platform::MessageButton::kYes);
      },
      onMessage);
}

Workstation::Run Workstation::RunScripted(const Script& script, const Hook& onMessage) {
  platform::RecordingUserInterface ui;
  InstallSession session;
  session.TransferFolder = kStaging;
  script(ui);
  if (onMessage) {
    ui.OnMessage([&](const std::string& message) { onMessage(message, session); });
  }
  RunInstallation(session, ui);
  Run run;
  run.message = ui.Message();
  run.colours = ui.Colours();
  run.colour = ui.Colour();
  run.position = ui.Position();
  run.range = ui.ProgressRange();
  run.closeDown = ui.CloseDownPosted();
  run.migrationIncomplete = session.MigrationIncomplete;
  run.transferError = session.TransferError.Clip();
  run.log = ui.Log();
  for (const auto& box : ui.MessageBoxes()) run.messageBoxes.push_back(box.text);
  return run;
}

bool Workstation::InstallationUnchanged() const {
  return SnapshotTree(sandbox_.Host(kInstallation)) == before_;
}

std::vector<std::string> Workstation::Staged() const {
  std::vector<std::string> staged;
  for (const char* item : {"Connection.ini", "data.zip", "pdf.zip"}) {
    if (fs::exists(sandbox_.Host(std::string(kStaging) + "\\" + item))) staged.push_back(item);
  }
  return staged;
}

namespace {

void SetStorePassword(const TestStore& store, const std::string& password) {
  const std::string command =
      "printf '%s:%s\\n' '" + store.User() + "' '" + password + "' | chpasswd";
  if (system(command.c_str()) != 0) throw std::runtime_error("cannot change the password");
}

}  // namespace

PasswordChange::PasswordChange(const TestStore& store, const std::string& password)
    : store_(store) {
  SetStorePassword(store_, password);
}

PasswordChange::~PasswordChange() {
  SetStorePassword(store_, store_.Password());
}

bool IsCurlErrorText(const std::string& text) {
  TCurlClass client;
  for (int code = 1; code < 100; ++code) {
    if (client.StrError(code) == text) return true;
  }
  return false;
}

std::string UploadFailedMessage(const std::string& error) {
  return "1957:\r\n\"Voorbereiden upload: \"C:\\BrindleHollows\\Tarvo\" > "
         "\"C:\\Korvant\\.transfer\"\r\nAanpassen \"C:\\Korvant\\.transfer\\Connection.ini\"\r\n"
         "Uploaden naar Korvant\r\nUpload naar Korvant mislukt, zie: \r\n \"" +
         error + "\"";
}

}  // namespace korvant::testing
