#pragma once

#include <string_view>

#include "platform/ini_file.h"
#include "platform/user_interface.h"

namespace korvant {

// A window's placement kept in one section of the program's INI file, under the keys "Maximize",
// "Minimize", "XPos", "YPos", "Width", "Height".
void RestoreWindowPlacement(platform::UserInterface& ui, platform::WindowId window,
                            const platform::IniFile& ini, std::string_view section);
platform::SavedPlacement ReadSavedPlacement(const platform::IniFile& ini, std::string_view section);
void SaveWindowPlacement(platform::IniFile& ini, std::string_view section,
                         const platform::WindowPlacement& placement);

}  // namespace korvant
