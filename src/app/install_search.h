#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user_interface.h"
#include "shared/install_session.h"

namespace korvant {

// The job the progress window runs once it has opened.
using Workflow = std::function<void(InstallSession&, platform::UserInterface&)>;

// What the installer hand-off does to the world; tests observe it instead of waiting it out.
struct HandOffActions {
  std::function<void(std::uint32_t milliseconds)> sleep;
  std::function<void(std::string_view commandLine)> start;
};
HandOffActions SystemHandOffActions();

// The program's main window procedure. Argument 1 "INSTALLER" (any letter case) selects the
// hand-off: wait argument 2 seconds (1 by default), start a fresh copy of the program, end.
// Anything else opens the progress window and runs `workflow` once it has opened. `arguments`
// are the command-line arguments without the program name. Returns the window's response code.
int InstallSearch(platform::UserInterface& ui, const std::vector<std::string>& arguments,
                  const Workflow& workflow, const HandOffActions& handOff = SystemHandOffActions());

// The hand-off's wait for a delay argument: seconds with decimals, truncated to whole
// milliseconds; blank means 1 second, a negative or non-numeric text none.
std::uint32_t HandOffDelayMilliseconds(std::string_view delay);

}  // namespace korvant
