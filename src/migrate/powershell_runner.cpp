#include "migrate/powershell_runner.h"

#include "platform/process.h"
#include "shared/fixed_text.h"

namespace korvant {

namespace {
constexpr std::size_t kCommandLineWidth = 1024;
}

std::string PowerShellCommandLine(std::string_view command) {
  std::string line = "Powershell -WindowStyle Normal -Command \"";
  line.append(ClipBlanks(command));
  line.push_back('"');
  if (line.size() > kCommandLineWidth) line.resize(kCommandLineWidth);
  return line;
}

std::int32_t RunPowerShell(std::string_view command) {
  const platform::RunResult result = platform::RunCommandLine(PowerShellCommandLine(command), true);
  return result.code;
}

}  // namespace korvant
