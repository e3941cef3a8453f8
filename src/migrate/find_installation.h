#pragma once

#include "platform/user_interface.h"
#include "shared/fixed_text.h"

namespace korvant {

// Finds the local Tarvo installation to migrate: offers each known location that exists, then lets
// the user pick Tarvo.exe. The chosen path, or blank when the user chose nothing. Only reads.
FixedText<256> FindInstallation(platform::UserInterface& ui);

}  // namespace korvant
