#pragma once

#include <string_view>

#include "platform/user_interface.h"
#include "shared/install_session.h"

namespace korvant {

// The program's operations on the store. Each opens its own SFTP session with the user's name and
// password and closes it before it returns; failures of the session set-up show a "libcurl"
// warning box and let the transfer that follows report its own result.

// 1 when the user's cloud installation holds "Connection.ini", -1 otherwise (also when the store
// cannot be reached or refuses the login).
int CloudInstallationExists(platform::UserInterface& ui, std::string_view user,
                            std::string_view password);

// Fetches the store's installation set into "C:\Korvant", skipping names that exist there. 0 on
// success, -1 when the listing failed, else libcurl's code of the failed download; failures leave
// the text in session.TransferError.
int DownloadInstallationSet(InstallSession& session, platform::UserInterface& ui,
                            std::string_view user, std::string_view password);

// Sends the folder's plain files to the user's cloud installation folder, deleting each local file
// after its upload. 0 on success, else libcurl's code of the failed upload (text in
// session.TransferError).
int UploadTransferFolder(InstallSession& session, platform::UserInterface& ui,
                         std::string_view folder, std::string_view user, std::string_view password);

}  // namespace korvant
