#include "transfer/store_operations.h"

#include <algorithm>

#include "platform/file_system.h"
#include "shared/colours.h"
#include "shared/windows1252.h"
#include "transfer/remote_listing.h"
#include "transfer/store_session.h"

namespace korvant {
namespace {

constexpr std::string_view kCloudMarker = "Connection.ini";

// A name from the store that would land outside "C:\Korvant" (or cannot be a Windows file name
// there at all) is not downloaded.
bool StaysInLocalFolder(std::string_view name) {
  return name.find_first_of("\\/:") == std::string_view::npos;
}

}  // namespace

int CloudInstallationExists(platform::UserInterface& ui, std::string_view user,
                            std::string_view password) {
  const std::string path = CloudInstallerFolder(user) + "/" + std::string(kCloudMarker);
  return RemoteFileExists(ui, path, user, password) == 1 ? 1 : -1;
}

int DownloadInstallationSet(InstallSession& session, platform::UserInterface& ui,
                            std::string_view user, std::string_view password) {
  TCurlFtpClass object;
  OpenStoreRoot(object, ui, user, password);
  RemoteChildren entries;
  if (const int code = object.ListDirectory(kInstallationFolder, entries)) {
    session.TransferError = object.StrError(code);
    return -1;
  }
  SortRemoteChildren(entries);
  const int count = static_cast<int>(entries.size());
  ui.MirrorProgressBar(true);
  ui.SetProgressPosition(0);
  ui.SetProgressRange(count);
  ui.SetProgressBarColour(kTransferColour);
  for (int i = 1; i <= count; ++i) {
    const REMOTECHILDREN& entry = entries[static_cast<std::size_t>(i - 1)];
    if (entry.ISFOLDER == 1) continue;
    const std::string name = entry.NAME.Clip();
    if (!StaysInLocalFolder(name)) continue;
    const std::string local = std::string(kLocalInstallationFolder) + name;
    if (platform::PathExists(local)) continue;
    const int code = DownloadStoreFile(object, std::string(kInstallationFolder) + name, local);
    ui.SetProgressPosition(i);
    if (code != 0) {
      session.TransferError = object.StrError(code);
      return code;
    }
  }
  ui.MirrorProgressBar(false);
  return 0;
}

int UploadTransferFolder(InstallSession& session, platform::UserInterface& ui,
                         std::string_view folder, std::string_view user,
                         std::string_view password) {
  TCurlClass object;
  OpenStoreRoot(object, ui, user, password);
  const std::string remote = CloudInstallerFolder(user);
  const std::string localFolder(ClipBlanks(folder));
  std::vector<std::string> files = platform::ListPlainFiles(localFolder);
  // Connection.ini in the cloud folder marks the cloud installation as complete: sent last, it
  // arrives only after everything else did, so an upload that fails part-way leaves no marker
  // and the next run migrates again instead of taking a half-sent installation for complete.
  std::stable_partition(files.begin(), files.end(), [](const std::string& name) {
    return !EqualIgnoringCase1252(name, kCloudMarker);
  });
  const int count = static_cast<int>(files.size());
  ui.SetProgressPosition(0);
  ui.SetProgressRange(count);
  ui.SetProgressBarColour(kTransferColour);
  for (int i = 1; i <= count; ++i) {
    const std::string& name = files[static_cast<std::size_t>(i - 1)];
    const std::string local = localFolder + "\\" + name;
    const int code = UploadStoreFile(object, local, remote + "/" + name);
    ui.SetProgressPosition(i);
    if (code != 0) {
      session.TransferError = object.StrError(code);
      return code;
    }
    platform::RemoveFile(local);  // a file that stays is uploaded again next time
  }
  ui.SetProgressBarColour(kBlue);
  return 0;
}

}  // namespace korvant
