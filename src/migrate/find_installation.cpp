#include "migrate/find_installation.h"

#include <string>

#include "platform/file_system.h"
#include "shared/colours.h"
#include "shared/program_globals.h"
#include "shared/windows1252.h"

namespace korvant {
namespace {

// The user's own C: drive as a remote desktop session sees it.
constexpr std::string_view kRemoteDrivePrefix = "\\\\TSCLIENT\\C\\";

// How a location is shown: paths through the remote share as the user knows them, on "C:".
std::string ShownPath(const FixedText<256>& path) {
  if (UpperCase1252(path.Padded().substr(0, kRemoteDrivePrefix.size())) != kRemoteDrivePrefix) {
    return path.Clip();
  }
  return "C:" + std::string(ClipBlanks(path.Padded().substr(kRemoteDrivePrefix.size() - 1, 243)));
}

}  // namespace

FixedText<256> FindInstallation(platform::UserInterface& ui) {
  FixedText<256> result;
  const auto& candidates = Globals().CandidatePaths;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const FixedText<256>& path = candidates[i];
    ui.SetProgressPosition(static_cast<int>(i + 1));
    if (!platform::PathExists(path.Clip())) continue;
    const FixedText<256> question =
        "Installatie gevonden in: \"" + ShownPath(path) + "\"|Wilt u deze gebruiken?";
    const auto answer = ui.ShowMessageBox(
        {question.Clip(), "Installatie gevonden", platform::MessageIcon::kQuestion,
         platform::MessageButtons::kYesNo, platform::MessageButton::kNo, true});
    if (answer == platform::MessageButton::kYes) {
      result = path;
      break;
    }
  }
  if (result.IsBlank()) {
    ui.SetProgressBarColour(kYellow);
    const auto chosen = ui.AskOpenFile(
        {"Selecteer uw Tarvo.exe in de installatie folder", "Tarvo.exe | *.exe", "H:\\"});
    if (chosen && chosen->size() > FixedText<256>::kWidth) {
      // Cut to fit, the path would name another folder, and another installation could be
      // staged and uploaded in its place: the choice is refused instead.
      ui.ShowMessageBox(
          {"Het pad van het gekozen bestand is langer dan 256 tekens en kan niet "
           "worden gebruikt:|" +
               *chosen,
           "", platform::MessageIcon::kExclamation, platform::MessageButtons::kOk,
           platform::MessageButton::kOk, false});
    } else if (chosen) {
      result = *chosen;
    }
  }
  return result;
}

}  // namespace korvant
