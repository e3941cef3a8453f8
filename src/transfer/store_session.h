#pragma once

#include <string>
#include <string_view>

#include "platform/user_interface.h"
#include "transfer/curl_class.h"

namespace korvant {

// The steps the store operations share. Remote paths are the paths as the server sees them
// ("/C:/SFTP/Installation/name"); they become URL paths only inside these steps.

inline constexpr std::string_view kInstallationFolder = "/C:/SFTP/Installation/";
inline constexpr std::string_view kLocalInstallationFolder = "C:\\Korvant\\";

// The user name without trailing blanks, cut before its first "-".
std::string AccountPrefix(std::string_view user);
// "/C:/Installaties/" + prefix + "/Installer": the user's cloud installation.
std::string CloudInstallerFolder(std::string_view user);
// False when the account prefix would name a folder other than the user's own below
// "/C:/Installaties/": one that holds "/" or "\", or is empty or only dots and blanks, which the
// store's Windows file system reads as the folder itself or the one above.
bool KeepsToOwnCloudFolder(std::string_view user);
// A server path as a URL path: "%", "#" and "?" are valid in file names but would be read as an
// escape, a fragment or a query, so they are percent-encoded; libcurl decodes them again.
std::string UrlPath(std::string_view remotePath);

// Init, credentials, "sftp://" + store host + path, remote folders made on upload, the pinned host
// key when there is one, large transfer buffers.
void OpenStoreSession(TCurlClass& object, platform::UserInterface& ui, std::string_view user,
                      std::string_view password, std::string_view path);
void OpenStoreRoot(TCurlClass& object, platform::UserInterface& ui, std::string_view user,
                   std::string_view password);
// 1 when a body-less request for the session's URL succeeds, else 0.
int ProbeRemoteFile(TCurlClass& object, platform::UserInterface& ui, std::string_view path);
int RemoteFileExists(platform::UserInterface& ui, std::string_view path, std::string_view user,
                     std::string_view password);
int DownloadStoreFile(TCurlClass& object, std::string_view remotePath, std::string_view localFile);
int UploadStoreFile(TCurlClass& object, std::string_view localFile, std::string_view remotePath);

}  // namespace korvant
