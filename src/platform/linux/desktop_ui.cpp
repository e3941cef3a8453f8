#include "platform/desktop.h"
#include "platform/linux/terminal_ui.h"

namespace korvant::platform {

std::unique_ptr<UserInterface> CreateDesktopUserInterface() {
  return std::make_unique<TerminalUserInterface>();
}

}  // namespace korvant::platform
