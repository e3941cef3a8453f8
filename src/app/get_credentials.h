#pragma once

#include "platform/user_interface.h"
#include "shared/fixed_text.h"

namespace korvant {

// Asks for the store's user name and password. After OK: the user name, ":[@]:" and the password,
// each without trailing blanks, cut at 256 characters; after Cancel or any other close: blank.
// Nothing typed is checked here; the first remote operation does that.
FixedText<256> GetCredentials(platform::UserInterface& ui);

inline constexpr std::string_view kCredentialsSeparator = ":[@]:";

}  // namespace korvant
