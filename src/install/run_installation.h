#pragma once

#include <string_view>

#include "platform/user_interface.h"
#include "shared/install_session.h"

namespace korvant {

// The whole job of one run, from the progress window's opening to the start of the cloud
// connection: the local folder, login, the installation set, the two clients, the desktop
// shortcut, the migration when the cloud holds no installation yet, and completion.
void RunInstallation(InstallSession& session, platform::UserInterface& ui);

// The credentials split at the first separator: the user name before it, the password after it;
// both blank when the dialog was cancelled.
void SplitCredentials(InstallSession& session);

inline constexpr std::string_view kInstallFolder = "C:\\Korvant";
inline constexpr std::string_view kMakeInstallFolderCommand =
    "New-Item -ItemType Directory -Path \"C:\\\\\" -Name Korvant";
inline constexpr std::string_view kPublicShortcut = "C:\\Users\\Public\\Desktop\\Tarvo-Cloud.lnk";
inline constexpr std::string_view kSetShortcut = "C:\\Korvant\\Tarvo.lnk";
inline constexpr std::string_view kConnectionFile = "C:\\Korvant\\Tarvo.connect";

}  // namespace korvant
