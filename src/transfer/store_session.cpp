#include "transfer/store_session.h"

#include <curl/curl.h>

#include "shared/fixed_text.h"
#include "transfer/store_location.h"

namespace korvant {
namespace {

// libcurl's defaults hold a 16 KiB window per read: on a long line the transfer waits on round
// trips instead of data.
constexpr std::int32_t kDownloadBufferSize = 2 * 1024 * 1024;
constexpr std::int32_t kUploadBufferSize = 2 * 1024 * 1024;

void Warn(platform::UserInterface& ui, TCurlClass& object, std::string_view what, int code) {
  platform::MessageBoxRequest request;
  request.text = std::string(what) + object.StrError(code);
  request.caption = "libcurl";
  request.icon = platform::MessageIcon::kExclamation;
  request.buttons = platform::MessageButtons::kOk;
  ui.ShowMessageBox(request);
}

void SetOptWarning(TCurlClass& object, platform::UserInterface& ui, int option,
                   std::int32_t value) {
  if (const int code = object.SetOpt(option, value)) Warn(ui, object, "SetOpt failed: ", code);
}

}  // namespace

std::string AccountPrefix(std::string_view user) {
  const std::string_view clipped = ClipBlanks(user);
  return std::string(clipped.substr(0, clipped.find('-')));
}

std::string CloudInstallerFolder(std::string_view user) {
  // Both are 256-character fields in the program.
  const FixedText<256> prefix(AccountPrefix(user));
  const FixedText<256> folder("/C:/Installaties/" + prefix.Clip() + "/Installer");
  return folder.Clip();
}

bool KeepsToOwnCloudFolder(std::string_view user) {
  const std::string prefix = AccountPrefix(user);
  return prefix.find_first_of("/\\") == std::string::npos &&
         prefix.find_first_not_of(". ") != std::string::npos;
}

std::string UrlPath(std::string_view remotePath) {
  std::string path;
  path.reserve(remotePath.size());
  for (const char c : remotePath) {
    switch (c) {
      case '%':
        path += "%25";
        break;
      case '#':
        path += "%23";
        break;
      case '?':
        path += "%3F";
        break;
      default:
        path += c;
        break;
    }
  }
  return path;
}

void OpenStoreSession(TCurlClass& object, platform::UserInterface& ui, std::string_view user,
                      std::string_view password, std::string_view path) {
  object.Init();
  if (const int code = object.SetUserPwd(user, password)) {
    Warn(ui, object, "SetUserPwd failed: ", code);
  }
  if (const int code = object.SetUrl("sftp://" + StoreHost() + UrlPath(ClipBlanks(path)))) {
    Warn(ui, object, "SetUrl failed: ", code);
  }
  SetOptWarning(object, ui, CURLOPT_FTP_CREATE_MISSING_DIRS, 1);
  // Without the pin the password goes to whoever answers at the store's address.
  const std::string hostKey = StoreHostKeySha256();
  if (!hostKey.empty()) {
    if (const int code = object.SetOpt(CURLOPT_SSH_HOST_PUBLIC_KEY_SHA256, hostKey)) {
      Warn(ui, object, "SetOpt failed: ", code);
    }
  }
  SetOptWarning(object, ui, CURLOPT_BUFFERSIZE, kDownloadBufferSize);
  SetOptWarning(object, ui, CURLOPT_UPLOAD_BUFFERSIZE, kUploadBufferSize);
}

void OpenStoreRoot(TCurlClass& object, platform::UserInterface& ui, std::string_view user,
                   std::string_view password) {
  OpenStoreSession(object, ui, user, password, "");
}

int ProbeRemoteFile(TCurlClass& object, platform::UserInterface& ui, std::string_view /*path*/) {
  SetOptWarning(object, ui, CURLOPT_NOBODY, 1);
  SetOptWarning(object, ui, CURLOPT_HEADER, 1);
  return object.Perform() == CURLE_OK ? 1 : 0;
}

int RemoteFileExists(platform::UserInterface& ui, std::string_view path, std::string_view user,
                     std::string_view password) {
  TCurlClass object;
  OpenStoreSession(object, ui, user, password, path);
  return ProbeRemoteFile(object, ui, path);
}

int DownloadStoreFile(TCurlClass& object, std::string_view remotePath, std::string_view localFile) {
  return object.Download(UrlPath(ClipBlanks(remotePath)), localFile, nullptr);
}

int UploadStoreFile(TCurlClass& object, std::string_view localFile, std::string_view remotePath) {
  return object.Upload(UrlPath(ClipBlanks(remotePath)), localFile, nullptr);
}

}  // namespace korvant
