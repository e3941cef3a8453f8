#include "install/run_installation.h"

namespace korvant {

void RunInstallation(InstallSession& /*session*/, platform::UserInterface& ui) {
  ui.SetMessage("Inloggen op Korvant");
}

}  // namespace korvant
