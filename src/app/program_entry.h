#pragma once

#include <string>
#include <vector>

#include "app/install_search.h"
#include "platform/user_interface.h"

namespace korvant {

// The program from start to end: opens ".\KorvantUploader.INI", sets the global values, runs the
// main window procedure and closes the INI file again. `arguments` exclude the program name.
int ProgramEntry(platform::UserInterface& ui, const std::vector<std::string>& arguments,
                 const Workflow& workflow, const HandOffActions& handOff = SystemHandOffActions());

}  // namespace korvant
