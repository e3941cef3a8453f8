#include "app/get_credentials.h"

#include <string>

#include "app/window_placement.h"
#include "shared/program_globals.h"

namespace korvant {
namespace {

constexpr std::string_view kSection = "GetCredentials";

}  // namespace

FixedText<256> GetCredentials(platform::UserInterface& ui) {
  FixedText<256> userName;
  FixedText<20> password;
  FixedText<256> result;

  platform::IniFile& ini = Globals().ProgramIni;
  const platform::CredentialsEntry entry = ui.RunCredentialsDialog(
      ini.HasSection(kSection) ? ReadSavedPlacement(ini, kSection) : platform::SavedPlacement{});
  if (!entry.opened) return result;

  userName = entry.userName;
  password = entry.password;
  if (entry.end == platform::DialogEnd::kOk) {
    result = userName.Clip() + std::string(kCredentialsSeparator) + password.Clip();
  }
  SaveWindowPlacement(ini, kSection, entry.placement);
  return result;
}

}  // namespace korvant
