#pragma once

#include "platform/user_interface.h"
#include "shared/install_session.h"

namespace korvant {

// The whole job of one run, from the progress window's opening to the start of the cloud
// connection.
void RunInstallation(InstallSession& session, platform::UserInterface& ui);

}  // namespace korvant
