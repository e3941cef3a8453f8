#pragma once

#include <string_view>

#include "platform/user_interface.h"

namespace korvant::platform {

// Stable English names of buttons and icons, for logs and for scripts that drive a front end.
std::string_view ButtonName(MessageButton button);
std::string_view IconName(MessageIcon icon);

}  // namespace korvant::platform
