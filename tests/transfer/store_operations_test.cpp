#include "transfer/store_operations.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "curl_codes.h"
#include "platform/recording/recording_ui.h"
#include "shared/colours.h"
#include "shared/install_session.h"
#include "support/sandbox.h"
#include "support/test_store.h"
#include "trace_capture.h"
#include "transfer/curl_class.h"
#include "transfer/store_session.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::CurlText;
using testing::kCurlLoginDenied;
using testing::kCurlPeerFailedVerification;
using testing::kCurlReadError;
using testing::kCurlWriteError;
using testing::Sandbox;

std::string ReadHostFile(const fs::path& path) {
  return Sandbox::ReadFile(path);
}

void WriteHostFile(const fs::path& path, std::string_view content) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { store_.Clear(); }

  // The progress operations of the log: range, position and mirroring.
  std::vector<std::string> ProgressLog() const {
    std::vector<std::string> kept;
    for (const auto& line : ui_.Log()) {
      if (line.rfind("range:", 0) == 0 || line.rfind("position:", 0) == 0 ||
          line.rfind("mirror:", 0) == 0) {
        kept.push_back(line);
      }
    }
    return kept;
  }

  // A cloud installer folder the store's users may write into, as an upload would have made it.
  fs::path MakeCloudInstaller() const {
    const fs::path folder = store_.CloudInstaller();
    fs::create_directories(folder);
    for (const fs::path& made : {folder.parent_path(), folder}) {
      fs::permissions(made, fs::perms::all);
    }
    return folder;
  }

  testing::TestStore store_;
  Sandbox sandbox_;
  platform::RecordingUserInterface ui_;
  InstallSession session_;
};

TEST_F(StoreTest, ProbeFindsExistingFilesOnlyAndNeverAsks) {
  store_.AddToInstallationSet("a.txt", "alpha");
  struct Case {
    const char* name;
    std::string path;
    std::string user;
    std::string password;
    int exists;
  };
  const std::array<Case, 5> cases = {{
      {"existing file", "/C:/SFTP/Installation/a.txt", store_.User(), store_.Password(), 1},
      {"missing file", "/C:/SFTP/Installation/b.txt", store_.User(), store_.Password(), 0},
      {"missing folder", "/C:/Nergens/a.txt", store_.User(), store_.Password(), 0},
      {"refused login", "/C:/SFTP/Installation/a.txt", store_.User(), "fout", 0},
      {"unknown user", "/C:/SFTP/Installation/a.txt", "niemand-1", "fout", 0},
  }};
  for (const auto& c : cases) {
    EXPECT_EQ(RemoteFileExists(ui_, c.path, c.user, c.password), c.exists) << c.name;
  }
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(StoreTest, CloudInstallationExistsOnlyWithItsConnectionIni) {
  EXPECT_EQ(CloudInstallationExists(ui_, store_.User(), store_.Password()), -1);
  WriteHostFile(MakeCloudInstaller() / "Connection.ini", "[Tarvo]\r\n");
  EXPECT_EQ(CloudInstallationExists(ui_, store_.User(), store_.Password()), 1);
  // Another prefix is another cloud installation.
  EXPECT_EQ(CloudInstallationExists(ui_, store_.Value("KORVANT_STORE_USER2"),
                                    store_.Value("KORVANT_STORE_PASSWORD2")),
            -1);
  EXPECT_EQ(CloudInstallationExists(ui_, store_.User(), "fout"), -1);
}

TEST_F(StoreTest, ListingOfARealFolder) {
  store_.AddToInstallationSet("two words.exe", "abc");
  store_.AddToInstallationSet("empty.txt", "");
  fs::create_directory(store_.InstallationSet() / "Sub");
  fs::create_symlink("two words.exe", store_.InstallationSet() / "link.exe");

  TCurlFtpClass session;
  OpenStoreRoot(session, ui_, store_.User(), store_.Password());
  RemoteChildren entries;
  ASSERT_EQ(session.ListDirectory(kInstallationFolder, entries), 0);
  SortRemoteChildren(entries);

  std::vector<std::string> seen;
  for (const auto& entry : entries) {
    seen.push_back(entry.DISPLAYNAME.Clip() + "|" + entry.FILESIZE.Clip() + "|" +
                   std::to_string(entry.ISFOLDER));
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{"[..]||1", "[Sub]||1", "empty.txt|0|0",
                                      "link.exe -> two words.exe|13|0", "two words.exe|3|0"}));
  EXPECT_EQ(entries[0].SORTNAME.Clip(), "\x02..");
  EXPECT_EQ(entries[4].FILEMASK.Clip(), "-rw-r--r--");
  EXPECT_FALSE(entries[4].LASTMODIFIED.IsBlank());
}

TEST_F(StoreTest, InstallationSetIntoAnEmptyFolder) {
  store_.AddToInstallationSet("a.txt", "alpha");
  store_.AddToInstallationSet("two words.exe", std::string(300000, 'w'));
  store_.AddToInstallationSet("empty.txt", "");
  store_.AddToInstallationSet("..\\evil.txt", "escape");
  fs::create_directory(store_.InstallationSet() / "Sub");
  store_.AddToInstallationSet("Sub/inner.txt", "inner");
  fs::create_directories(sandbox_.Host("C:\\Korvant"));

  ASSERT_EQ(DownloadInstallationSet(session_, ui_, store_.User(), store_.Password()), 0);

  EXPECT_EQ(ReadHostFile(sandbox_.Host("C:\\Korvant\\a.txt")), "alpha");
  EXPECT_EQ(ReadHostFile(sandbox_.Host("C:\\Korvant\\two words.exe")), std::string(300000, 'w'));
  // An empty file delivers no data, so no file is made; sub-folders are not fetched; a name
  // that would leave the folder is not fetched.
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Korvant\\empty.txt")));
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Korvant\\Sub")));
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\evil.txt")));
  EXPECT_EQ(
      std::distance(fs::directory_iterator(sandbox_.Host("C:\\Korvant")), fs::directory_iterator{}),
      2);
  // Entries: "..", "Sub", "..\evil.txt", "a.txt", "empty.txt", "two words.exe".
  EXPECT_EQ(ProgressLog(),
            (std::vector<std::string>{"mirror: on", "position: 0", "range: 6", "position: 4",
                                      "position: 5", "position: 6", "mirror: off"}));
  EXPECT_EQ(ui_.Colours(), std::vector<std::uint32_t>{kTransferColour});
  EXPECT_TRUE(session_.TransferError.IsBlank());
}

TEST_F(StoreTest, InstallationSetIntoAPartlyFilledFolderFetchesOnlyWhatIsMissing) {
  store_.AddToInstallationSet("a.txt", "alpha");
  store_.AddToInstallationSet("b.txt", "beta");
  store_.AddToInstallationSet("c.exe", "gamma");
  sandbox_.WriteFile("C:\\Korvant\\a.txt", "local a");
  fs::create_directories(sandbox_.Host("C:\\Korvant\\c.exe"));

  ASSERT_EQ(DownloadInstallationSet(session_, ui_, store_.User(), store_.Password()), 0);
  EXPECT_EQ(ReadHostFile(sandbox_.Host("C:\\Korvant\\a.txt")), "local a");
  EXPECT_EQ(ReadHostFile(sandbox_.Host("C:\\Korvant\\b.txt")), "beta");
  EXPECT_TRUE(fs::is_directory(sandbox_.Host("C:\\Korvant\\c.exe")));
  EXPECT_EQ(ProgressLog(), (std::vector<std::string>{"mirror: on", "position: 0", "range: 4",
                                                     "position: 3", "mirror: off"}));

  // Everything there already: no transfer, the bar stays at 0.
  ui_ = platform::RecordingUserInterface{};
  ASSERT_EQ(DownloadInstallationSet(session_, ui_, store_.User(), store_.Password()), 0);
  EXPECT_EQ(ProgressLog(),
            (std::vector<std::string>{"mirror: on", "position: 0", "range: 4", "mirror: off"}));
}

TEST_F(StoreTest, WrongPasswordFailsTheListingWithTheLoginText) {
  store_.AddToInstallationSet("a.txt", "alpha");
  fs::create_directories(sandbox_.Host("C:\\Korvant"));
  EXPECT_EQ(DownloadInstallationSet(session_, ui_, store_.User(), "fout"), -1);
  EXPECT_EQ(session_.TransferError.Clip(), CurlText(kCurlLoginDenied));
  EXPECT_TRUE(ProgressLog().empty());
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Korvant\\a.txt")));
}

TEST_F(StoreTest, AStoreThatGoesAwayMidDownloadLeavesNoPartialFile) {
  { std::ofstream big(store_.InstallationSet() / "big.bin", std::ios::binary); }
  fs::resize_file(store_.InstallationSet() / "big.bin", 1024ull * 1024 * 1024);
  fs::create_directories(sandbox_.Host("C:\\Korvant"));
  const fs::path local = sandbox_.Host("C:\\Korvant\\big.bin");

  // Cut the connection as soon as the first data has reached the local file; give up after 60 s.
  std::atomic<bool> done{false};
  std::atomic<bool> cut{false};
  std::thread watcher([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) {
      std::error_code ignored;
      if (fs::file_size(local, ignored) > 0 && !ignored) {
        store_.Disconnect();
        cut = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  const int code = DownloadInstallationSet(session_, ui_, store_.User(), store_.Password());
  done = true;
  watcher.join();

  ASSERT_TRUE(cut) << "the download ended before the store went away";
  EXPECT_GT(code, 0);
  EXPECT_EQ(session_.TransferError.Clip(), CurlText(code));
  EXPECT_FALSE(fs::exists(local));
  EXPECT_TRUE(ui_.Mirrored());
}

TEST_F(StoreTest, ALocalFolderThatCannotBeWrittenGivesTheWriteError) {
  store_.AddToInstallationSet("a.txt", "alpha");
  testing::TraceCapture trace;  // "C:\Korvant" does not exist
  EXPECT_EQ(DownloadInstallationSet(session_, ui_, store_.User(), store_.Password()),
            kCurlWriteError);
  EXPECT_EQ(session_.TransferError.Clip(), CurlText(kCurlWriteError));
  EXPECT_TRUE(trace.Contains("[libcurl] CreateFile(C:\\Korvant\\a.txt) error"));
  EXPECT_TRUE(trace.AnyStartsWith("[libcurl] TEXT: "));
}

TEST_F(StoreTest, NoDataLeavesAnExistingLocalFileAlone) {
  store_.AddToInstallationSet("empty.txt", "");
  sandbox_.WriteFile("C:\\Korvant\\empty.txt", "local");
  sandbox_.WriteFile("C:\\Korvant\\missing.txt", "local");
  TCurlClass session;
  OpenStoreRoot(session, ui_, store_.User(), store_.Password());
  EXPECT_EQ(DownloadStoreFile(session, "/C:/SFTP/Installation/empty.txt", "C:\\Korvant\\empty.txt"),
            0);
  EXPECT_NE(
      DownloadStoreFile(session, "/C:/SFTP/Installation/missing.txt", "C:\\Korvant\\missing.txt"),
      0);
  EXPECT_EQ(ReadHostFile(sandbox_.Host("C:\\Korvant\\empty.txt")), "local");
  EXPECT_EQ(ReadHostFile(sandbox_.Host("C:\\Korvant\\missing.txt")), "local");
}

TEST_F(StoreTest, UploadMakesTheCloudFolderAndDeletesEachUploadedFile) {
  const std::string staging = "C:\\Korvant\\.transfer";
  sandbox_.WriteFile(staging + "\\Connection.ini", "[Tarvo]\r\nRemote=1\r\n");
  sandbox_.WriteFile(staging + "\\data.zip", std::string(3000000, 'd'));
  sandbox_.WriteFile(staging + "\\pdf.zip", "");
  sandbox_.WriteFile(staging + "\\.hidden", "stays");
  sandbox_.WriteFile(staging + "\\sub\\inner.txt", "stays");

  ASSERT_EQ(UploadTransferFolder(session_, ui_, staging + "   ", store_.User(), store_.Password()),
            0);

  const fs::path cloud = store_.CloudInstaller();
  EXPECT_EQ(ReadHostFile(cloud / "Connection.ini"), "[Tarvo]\r\nRemote=1\r\n");
  EXPECT_EQ(ReadHostFile(cloud / "data.zip"), std::string(3000000, 'd'));
  EXPECT_TRUE(fs::exists(cloud / "pdf.zip"));
  EXPECT_EQ(fs::file_size(cloud / "pdf.zip"), 0u);
  EXPECT_FALSE(fs::exists(cloud / ".hidden"));
  EXPECT_FALSE(fs::exists(cloud / "sub"));
  EXPECT_FALSE(fs::exists(sandbox_.Host(staging + "\\Connection.ini")));
  EXPECT_FALSE(fs::exists(sandbox_.Host(staging + "\\data.zip")));
  EXPECT_FALSE(fs::exists(sandbox_.Host(staging + "\\pdf.zip")));
  EXPECT_TRUE(fs::exists(sandbox_.Host(staging + "\\.hidden")));
  EXPECT_TRUE(fs::exists(sandbox_.Host(staging + "\\sub\\inner.txt")));
  EXPECT_EQ(ProgressLog(), (std::vector<std::string>{"position: 0", "range: 3", "position: 1",
                                                     "position: 2", "position: 3"}));
  EXPECT_EQ(ui_.Colours(), (std::vector<std::uint32_t>{kTransferColour, kBlue}));

  // Nothing staged: no transfer, blue at once.
  ui_ = platform::RecordingUserInterface{};
  ASSERT_EQ(
      UploadTransferFolder(session_, ui_, "C:\\Korvant\\leeg", store_.User(), store_.Password()),
      0);
  EXPECT_EQ(ui_.Colours(), (std::vector<std::uint32_t>{kTransferColour, kBlue}));
}

TEST_F(StoreTest, AFailedUploadStopsAndKeepsTheRest) {
  const std::string staging = "C:\\Korvant\\.transfer";
  for (const char* name : {"a.txt", "b.txt", "c.txt"})
    sandbox_.WriteFile(staging + "\\" + name, name);
  // A folder where the second file should land makes its upload fail.
  fs::create_directory(MakeCloudInstaller() / "b.txt");

  const int code = UploadTransferFolder(session_, ui_, staging, store_.User(), store_.Password());
  EXPECT_GT(code, 0);
  EXPECT_EQ(session_.TransferError.Clip(), CurlText(code));
  EXPECT_FALSE(fs::exists(sandbox_.Host(staging + "\\a.txt")));
  EXPECT_TRUE(fs::exists(sandbox_.Host(staging + "\\b.txt")));
  EXPECT_TRUE(fs::exists(sandbox_.Host(staging + "\\c.txt")));
  EXPECT_EQ(ReadHostFile(store_.CloudInstaller() / "a.txt"), "a.txt");
  EXPECT_FALSE(fs::exists(store_.CloudInstaller() / "c.txt"));
  EXPECT_EQ(ui_.Colours(), std::vector<std::uint32_t>{kTransferColour});

  // A wrong password fails the first upload and keeps every file.
  EXPECT_EQ(UploadTransferFolder(session_, ui_, staging, store_.User(), "fout"), kCurlLoginDenied);
  EXPECT_TRUE(fs::exists(sandbox_.Host(staging + "\\b.txt")));
}

TEST_F(StoreTest, UploadOfAMissingLocalFileGivesTheReadError) {
  testing::TraceCapture trace;
  TCurlClass session;
  OpenStoreRoot(session, ui_, store_.User(), store_.Password());
  EXPECT_EQ(UploadStoreFile(session, "C:\\Korvant\\.transfer\\weg.txt",
                            CloudInstallerFolder(store_.User()) + "/weg.txt"),
            kCurlReadError);
  EXPECT_TRUE(trace.Contains("[libcurl] OpenFile(C:\\Korvant\\.transfer\\weg.txt error"));
}

TEST_F(StoreTest, AStoreWithAnotherHostKeyIsRefused) {
  store_.AddToInstallationSet("a.txt", "alpha");
  WriteHostFile(MakeCloudInstaller() / "Connection.ini", "[Tarvo]\r\n");
  fs::create_directories(sandbox_.Host("C:\\Korvant"));
  testing::WrongHostKey wrongKey;
  EXPECT_EQ(CloudInstallationExists(ui_, store_.User(), store_.Password()), -1);
  EXPECT_EQ(DownloadInstallationSet(session_, ui_, store_.User(), store_.Password()), -1);
  EXPECT_EQ(session_.TransferError.Clip(), CurlText(kCurlPeerFailedVerification));
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Korvant\\a.txt")));
}

// Names as the server keeps them (bytes; a Windows-1252 letter travels as its one byte) and as the
// workstation has them.
struct SpecialName {
  std::string server;
  std::string windows;
};
const std::array<SpecialName, 5> kSpecialNames = {{
    {"a#b.txt", "a#b.txt"},
    {"c?d.txt", "c?d.txt"},
    {"e%41f.txt", "e%41f.txt"},
    {"100% #1?.txt", "100% #1?.txt"},
    {"Kopi\xEBren.txt", "Kopi\xEBren.txt"},
}};

TEST_F(StoreTest, SpecialNamesArriveUnchangedOnDownload) {
  for (const auto& name : kSpecialNames) store_.AddToInstallationSet(name.server, name.server);
  fs::create_directories(sandbox_.Host("C:\\Korvant"));
  ASSERT_EQ(DownloadInstallationSet(session_, ui_, store_.User(), store_.Password()), 0)
      << session_.TransferError.Clip();
  for (const auto& name : kSpecialNames) {
    EXPECT_EQ(ReadHostFile(sandbox_.Host("C:\\Korvant\\" + name.windows)), name.server)
        << name.windows;
  }
}

TEST_F(StoreTest, SpecialNamesArriveUnchangedOnUpload) {
  const std::string staging = "C:\\Korvant\\.transfer";
  for (const auto& name : kSpecialNames)
    sandbox_.WriteFile(staging + "\\" + name.windows, name.server);
  ASSERT_EQ(UploadTransferFolder(session_, ui_, staging, store_.User(), store_.Password()), 0)
      << session_.TransferError.Clip();
  for (const auto& name : kSpecialNames) {
    EXPECT_EQ(ReadHostFile(store_.CloudInstaller() / name.server), name.server) << name.windows;
  }
}

}  // namespace
}  // namespace korvant
