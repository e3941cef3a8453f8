#pragma once

#include <memory>

#include "platform/user_interface.h"

namespace korvant::platform {

// The user interface of this host: windows on a desktop, the terminal on Linux.
std::unique_ptr<UserInterface> CreateDesktopUserInterface();

}  // namespace korvant::platform
