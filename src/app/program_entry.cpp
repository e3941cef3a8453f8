#include "app/program_entry.h"

#include <charconv>
#include <string>

#include "platform/process.h"
#include "shared/program_globals.h"

namespace korvant {
namespace {

constexpr std::string_view kIniFile = ".\\KorvantUploader.INI";
// The INI manager's own bookkeeping: a count it keeps for itself, always 0 for this program.
constexpr std::string_view kBookkeepingSection = "__Dont_Touch_Me__";
constexpr std::string_view kBookkeepingKey = "Sectors";

int ReadSectors(const platform::IniFile& ini) {
  const auto value = ini.Read(kBookkeepingSection, kBookkeepingKey);
  int sectors = 0;
  if (value) std::from_chars(value->data(), value->data() + value->size(), sectors);
  return sectors;
}

}  // namespace

int ProgramEntry(platform::UserInterface& ui, const std::vector<std::string>& arguments,
                 const Workflow& workflow, const HandOffActions& handOff) {
  ProgramGlobals& globals = Globals();
  globals.ProgramIni.Bind(std::string(kIniFile));
  const int sectors = ReadSectors(globals.ProgramIni);
  InitialiseGlobals(platform::OwnProgramPath());

  const int response = InstallSearch(ui, arguments, workflow, handOff);

  globals.ProgramIni.Write(kBookkeepingSection, kBookkeepingKey, std::to_string(sectors));
  return response;
}

}  // namespace korvant
