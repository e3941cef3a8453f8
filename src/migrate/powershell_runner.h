#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvant {

// The command line that runs one PowerShell command in a normal window, cut at 1024 characters.
std::string PowerShellCommandLine(std::string_view command);

// Runs one PowerShell command and waits for it: PowerShell's exit code, or -4 when PowerShell
// could not be started.
std::int32_t RunPowerShell(std::string_view command);

}  // namespace korvant
