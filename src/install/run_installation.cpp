#include "install/run_installation.h"

#include <string>

#include "app/get_credentials.h"
#include "install/prerequisites.h"
#include "migrate/migrate_installation.h"
#include "migrate/powershell_runner.h"
#include "migrate/shell_copy.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "shared/colours.h"
#include "transfer/store_operations.h"
#include "transfer/store_session.h"

namespace korvant {
namespace {

constexpr std::string_view kCrLf = "\r\n";

void FailRed(platform::UserInterface& ui) {
  ui.SetProgressBarColour(kRed);
  ui.FillProgressBar();
}

}  // namespace

void SplitCredentials(InstallSession& session) {
  const std::string text = session.Credentials.Clip();
  const auto separator = text.find(kCredentialsSeparator);
  if (separator == std::string::npos) {
    // Only a cancelled dialog gives no separator: the whole text is blank.
    session.UserName = "";
    session.Password = "";
    return;
  }
  session.UserName = text.substr(0, separator);
  session.Password = text.substr(separator + kCredentialsSeparator.size());
}

void RunInstallation(InstallSession& session, platform::UserInterface& ui) {
  // 1. The installation folder; the command's exit code alone decides.
  if (!platform::PathExists(kInstallFolder) && RunPowerShell(kMakeInstallFolderCommand) != 0) {
    FailRed(ui);
    ui.SetMessage("Kan installatie niet voorbereiden, aanmaken van \"Korvant\" folder mislukt");
    return;
  }

  // 2, 3. Login; the store checks the credentials at the first transfer.
  ui.SetMessage("Inloggen op Korvant");
  session.Credentials = GetCredentials(ui);
  SplitCredentials(session);
  const std::string user = session.UserName.Clip();
  const std::string password = session.Password.Clip();
  // A name whose account prefix leads out of the user's own cloud folder would upload into
  // someone else's (or none): refused before anything reaches the store. A blank name (cancelled
  // dialog) goes on, and the store refuses it.
  if (!user.empty() && !KeepsToOwnCloudFolder(user)) {
    FailRed(ui);
    ui.AppendMessage(std::string(kCrLf) + "Ongeldige gebruikersnaam, inloggen mislukt: " +
                     std::string(kCrLf) + " \"" + user + "\"");
    return;
  }

  // 4. The installation set.
  ui.SetMessage("Downloaden van installatie");
  if (DownloadInstallationSet(session, ui, user, password) != 0) {
    FailRed(ui);
    ui.AppendMessage(std::string(kCrLf) + "Download van Korvant installatie mislukt, zie: " +
                     std::string(kCrLf) + " \"" + session.TransferError.Clip() + "\"");
    return;
  }

  // 5. The two clients; a failure has written its own report.
  ui.SetMessage("Installeren benodigdheden");
  if (!InstallPrerequisites(ui)) return;

  // 6. The desktop shortcut, never replacing one the user has.
  if (!platform::PathExists(kPublicShortcut) && platform::PathExists(kSetShortcut)) {
    ShellCopy(kSetShortcut, kPublicShortcut);
  }

  // 7. The user's installation in the cloud, migrated when missing.
  if (CloudInstallationExists(ui, user, password) != 1) {
    MigrateInstallation(session, ui);
    if (session.MigrationIncomplete == 1) return;
  }

  // 8. Completion.
  ui.FillProgressBar();
  ui.SetProgressBarColour(kGreen);
  ui.SetMessage("Installatie voltooid, Korvant wordt gestart");
  if (platform::PathExists(kConnectionFile)) platform::OpenDocument(kConnectionFile);
  ui.PostCloseDown();
}

}  // namespace korvant
