#include <string>
#include <vector>

#include "app/program_entry.h"
#include "install/run_installation.h"
#include "platform/desktop.h"
#include "shared/windows1252.h"

int main(int argc, char** argv) {
  // The program's texts are Windows-1252, as its command line is on Windows.
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(korvant::Utf8ToWindows1252(argv[i]));
  const auto ui = korvant::platform::CreateDesktopUserInterface();
  korvant::ProgramEntry(*ui, arguments, korvant::RunInstallation);
  return 0;
}
