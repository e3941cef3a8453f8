#include "install/prerequisites.h"

#include <string>

#include "migrate/system_error_text.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "shared/colours.h"
#include "shared/fixed_text.h"

namespace korvant {
namespace {

constexpr std::string_view kCrLf = "\r\n";

void ReportFailure(platform::UserInterface& ui, const Prerequisite& row, std::int32_t result,
                   std::uint32_t startError) {
  ui.FillProgressBar();
  ui.AppendMessage(std::string(kCrLf) + std::string(row.failureText) + std::string(kCrLf) +
                   std::to_string(result) + std::string(kCrLf) +
                   SystemErrorText(static_cast<std::int32_t>(startError)));
  ui.SetProgressBarColour(kRed);
}

}  // namespace

std::int32_t RunPrerequisiteSetup(platform::UserInterface& ui, std::string_view setupPath,
                                  std::uint32_t* startError) {
  const std::string setup(ClipBlanks(setupPath));
  if (!platform::PathExists(setup)) {
    // The installation goes on without this client; the user is told.
    ui.ShowMessageBox({setup + " mist", "", platform::MessageIcon::kNone,
                       platform::MessageButtons::kOk, platform::MessageButton::kOk, false});
    return 0;
  }
  const platform::RunResult run =
      platform::RunCommandLine(setup + std::string(kSetupArguments), true);
  if (startError != nullptr) *startError = run.code == platform::kStartFailed ? run.error : 0;
  return run.code;
}

bool InstallPrerequisites(platform::UserInterface& ui) {
  for (const Prerequisite& row : PrerequisiteTable) {
    if (platform::PathExists(row.detectionFile)) continue;
    std::uint32_t startError = 0;
    const std::int32_t result = RunPrerequisiteSetup(ui, row.setup, &startError);
    if (result != 0) {
      ReportFailure(ui, row, result, startError);
      return false;
    }
  }
  return true;
}

}  // namespace korvant
