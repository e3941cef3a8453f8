#include <stdio.h>

#include <string>
#include <vector>

#include "platform/linux/powershell/powershell_cmdlets.h"

// PowerShell on this host, for the commands the program sends: see powershell_cmdlets.h.
int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string errors;
  const int exitCode = korvant::powershell::RunPowershell(arguments, errors);
  fputs(errors.c_str(), stderr);
  return exitCode;
}
