#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvant::powershell {

// Carries out one command text as PowerShell would: New-Item of a folder, Compress-Archive and
// Expand-Archive. Anything else is refused and touches nothing. Returns PowerShell's exit code
// (0 when the work was done, 1 otherwise); `errors` receives PowerShell-style lines.
int RunCommandText(std::string_view commandText, std::string& errors);

// The whole program: its arguments as the command line delivered them (without argv[0]).
int RunPowershell(const std::vector<std::string>& arguments, std::string& errors);

}  // namespace korvant::powershell
