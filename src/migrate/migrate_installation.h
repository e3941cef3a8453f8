#pragma once

#include "platform/user_interface.h"
#include "shared/install_session.h"

namespace korvant {

// Brings the user's local installation into the cloud: finds it, stages Connection.ini, data and
// pdf into the staging folder, marks the staged Connection.ini for remote use, uploads the staging
// folder and removes it once empty. The outcome reaches the workflow through
// MigrationIncomplete (1: ended without a completed upload); the window shows every step.
void MigrateInstallation(InstallSession& session, platform::UserInterface& ui);

}  // namespace korvant
