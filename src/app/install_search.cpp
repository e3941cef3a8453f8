#include "app/install_search.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "app/window_placement.h"
#include "platform/process.h"
#include "shared/fixed_text.h"
#include "shared/program_globals.h"
#include "shared/windows1252.h"

namespace korvant {
namespace {

constexpr std::string_view kSection = "InstallSearch";
constexpr std::string_view kWindowCaption = "Window";
// The range the bar starts with: the number of known installation paths.
constexpr int kInitialProgressRange = 4;
// The window manager's response when the window set none.
constexpr int kNoResponse = 2;

std::string Argument(const std::vector<std::string>& arguments, std::size_t index) {
  return index < arguments.size() ? arguments[index] : std::string();
}

void HandOff(const std::vector<std::string>& arguments, const HandOffActions& actions) {
  actions.sleep(HandOffDelayMilliseconds(Argument(arguments, 1)));
  // Quoted, so a program folder with blanks in its name still starts the program itself.
  actions.start("\"" + Globals().ProgramPath + "\"");
  // The close-down event of this run has no window to reach: the program simply ends.
}

int RunWindow(platform::UserInterface& ui, const Workflow& workflow) {
  InstallSession session;

  // Init step.
  if (!ui.OpenProgressWindow(kWindowCaption)) return kNoResponse;
  ui.SetProgressRange(kInitialProgressRange);
  session.TransferFolder = "C:\\Korvant\\.transfer";
  session.MigrationIncomplete = 0;
  RestoreWindowPlacement(ui, platform::WindowId::kProgress, Globals().ProgramIni, kSection);

  // Event loop; the open step runs the workflow on the first opened event.
  ui.RunProgressWindow([&] { workflow(session, ui); });

  // Kill step.
  SaveWindowPlacement(Globals().ProgramIni, kSection, ui.Placement(platform::WindowId::kProgress));
  ui.DestroyProgressWindow();
  return kNoResponse;
}

}  // namespace

HandOffActions SystemHandOffActions() {
  return {[](std::uint32_t milliseconds) { platform::SleepMilliseconds(milliseconds); },
          [](std::string_view commandLine) { platform::RunCommandLine(commandLine, false); }};
}

std::uint32_t HandOffDelayMilliseconds(std::string_view delay) {
  std::string_view text = ClipBlanks(delay);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty()) text = "1";
  double seconds = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), seconds, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !(seconds > 0)) return 0;
  const double milliseconds = std::trunc(seconds * 1000.0);
  constexpr double kLongest = std::numeric_limits<std::uint32_t>::max();
  return milliseconds >= kLongest ? std::numeric_limits<std::uint32_t>::max()
                                  : static_cast<std::uint32_t>(milliseconds);
}

int InstallSearch(platform::UserInterface& ui, const std::vector<std::string>& arguments,
                  const Workflow& workflow, const HandOffActions& handOff) {
  if (SameClipped(UpperCase1252(Argument(arguments, 0)), "INSTALLER")) {
    HandOff(arguments, handOff);
    return 0;
  }
  return RunWindow(ui, workflow);
}

}  // namespace korvant
