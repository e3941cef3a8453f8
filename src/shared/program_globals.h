#pragma once

#include <array>
#include <string>

#include "platform/ini_file.h"
#include "shared/fixed_text.h"

namespace korvant {

// The values the program's parts share for the whole run (one user-interface thread).
struct ProgramGlobals {
  // Full path of the program's own executable. Kept whole: a path cut short would make the
  // installer hand-off relaunch fail.
  std::string ProgramPath;
  FixedText<256> FoundInstallPath;
  std::array<FixedText<256>, 4> CandidatePaths;  // numbered 1 to 4: index 0 to 3
  std::array<FixedText<256>, 3> UploadItems;     // numbered 1 to 3: index 0 to 2
  // The program's INI file, ".\KorvantUploader.INI" in the current folder: where its windows were.
  platform::IniFile ProgramIni;
};

ProgramGlobals& Globals();

// Program entry's set-up of the globals: the program path, then the known installation paths and
// the items a migration uploads. FoundInstallPath becomes blank.
void InitialiseGlobals(std::string programPath);

}  // namespace korvant
