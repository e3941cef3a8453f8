#include "migrate/migrate_installation.h"

#include <string>

#include "migrate/find_installation.h"
#include "migrate/stage_upload_items.h"
#include "migrate/system_error_text.h"
#include "migrate/text_tests.h"
#include "platform/file_system.h"
#include "shared/colours.h"
#include "shared/program_globals.h"
#include "shared/windows1252.h"
#include "transfer/store_operations.h"

namespace korvant {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kExecutableName = "\\Tarvo.exe";
constexpr std::string_view kRemoteDrivePrefix = "\\\\tsclient\\C\\";

void EndRed(InstallSession& session, platform::UserInterface& ui) {
  ui.SetProgressBarColour(kRed);
  session.MigrationIncomplete = 1;
}

// The folder of the chosen Tarvo.exe: whatever the last ten characters are, they go.
void TrimToFolder(FixedText<256>& path) {
  const std::string clipped = path.Clip();
  if (clipped.size() >= kExecutableName.size()) {
    path = clipped.substr(0, clipped.size() - kExecutableName.size());
  }
}

std::string PreparationText(const FixedText<256>& folder, const FixedText<256>& transferFolder) {
  std::string shown;
  if (StartsWithText(folder.Clip(), kRemoteDrivePrefix) == 1) {
    shown =
        "C:" + std::string(ClipBlanks(folder.Padded().substr(kRemoteDrivePrefix.size() - 1, 243)));
  } else {
    shown = folder.Clip();
  }
  return "Voorbereiden upload: \"" + shown + "\" > \"" + transferFolder.Clip() + "\"";
}

}  // namespace

void MigrateInstallation(InstallSession& session, platform::UserInterface& ui) {
  ProgramGlobals& globals = Globals();
  ui.SetMessage("Er wordt gezocht naar uw Tarvo installatie");
  globals.FoundInstallPath = FindInstallation(ui);

  if (globals.FoundInstallPath.IsBlank()) {
    ui.FillProgressBar();
    ui.SetProgressBarColour(kRed);
    ui.ShowMessageBox({"Er was geen installatie gevonden dus het programma wordt afgebroken.", "",
                       platform::MessageIcon::kNone, platform::MessageButtons::kOk,
                       platform::MessageButton::kOk, false});
    ui.PostCloseDown();
    session.MigrationIncomplete = 1;
    return;
  }

  TrimToFolder(globals.FoundInstallPath);
  session.InstallTag =
      UpperCase1252(globals.FoundInstallPath.Clip()).find("BRINDLEHOLLOWS") != std::string::npos
          ? "1957"
          : "1983";
  const std::string tag = session.InstallTag.Clip();
  const std::string transferFolder = session.TransferFolder.Clip();

  ui.SetMessage(tag + ":" + std::string(kCrLf) + "\"");
  ui.AppendMessage(PreparationText(globals.FoundInstallPath, session.TransferFolder));
  ui.SetProgressBarColour(kGreen);

  const int staged = StageUploadItems(ui, globals.FoundInstallPath.Clip(), transferFolder);
  if (staged != 0) {
    session.CopyErrorCode = staged;
    ui.FillProgressBar();
    ui.SetMessage(tag + ":" + std::string(kCrLf) + "Kopi\xEBren van installatie naar \"" +
                  transferFolder + "\" is mislukt!" + std::string(kCrLf) +
                  "Error Code: " + std::to_string(session.CopyErrorCode) + std::string(kCrLf) +
                  "Error Message: " + SystemErrorText(session.CopyErrorCode));
    EndRed(session, ui);
    return;
  }

  ui.SetProgressBarColour(kPurple);
  const std::string connectionIni = transferFolder + "\\Connection.ini";
  ui.AppendMessage(std::string(kCrLf) + "Aanpassen \"" + connectionIni + "\"");
  session.ConnectionIni.Bind(connectionIni);
  std::uint32_t written =
      session.ConnectionIni.Write("Korvant", "brindlehollows", tag == "1957" ? "1" : "0");
  if (written == 0) written = session.ConnectionIni.Write("con1", "remote", "1");
  if (written != 0) {
    ui.FillProgressBar();
    ui.SetMessage(tag + std::string(kCrLf) +
                  "Er ging iets mis bij het opslaan van de INI wijzigingen" + std::string(kCrLf) +
                  "Error Code: " + std::to_string(written));
    EndRed(session, ui);
    return;
  }

  ui.AppendMessage(std::string(kCrLf) + "Uploaden naar Korvant");
  if (UploadTransferFolder(session, ui, transferFolder, session.UserName.Clip(),
                           session.Password.Clip()) != 0) {
    ui.FillProgressBar();
    ui.AppendMessage(std::string(kCrLf) + "Upload naar Korvant mislukt, zie: " +
                     std::string(kCrLf) + " \"" + session.TransferError.Clip() + "\"");
    EndRed(session, ui);
    return;
  }

  // Only an emptied staging folder goes; anything the upload left stays, unreported.
  platform::RemoveEmptyFolder(transferFolder);
  ui.SetProgressBarColour(kDarkGreen);
  ui.SetMessage(tag + ":" + std::string(kCrLf) + "Upload naar Korvant voltooid");
}

}  // namespace korvant
