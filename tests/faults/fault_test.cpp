// Faults against the real store and the local disks, each a whole run of the workflow: the run
// ends with the program's own message, the user's installation is byte for byte what it was, and
// nothing is deleted that did not arrive where it was going.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "shared/colours.h"
#include "support/zip_contents.h"
#include "transfer/curl_class.h"
#include "transfer/curl_codes.h"
#include "transfer/trace_capture.h"
#include "workstation.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::CurlText;
using testing::kCurlLoginDenied;
using testing::kCurlPeerFailedVerification;
using testing::kCurlReadError;
using testing::kCurlWriteError;
using testing::Workstation;

const std::string kDone = "Installatie voltooid, Korvant wordt gestart";
const std::string kDownloadFailed =
    "Downloaden van installatie\r\nDownload van Korvant installatie mislukt, zie: \r\n \"";

void RunOrThrow(const std::string& command) {
  if (system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

// Cuts every open connection of the store; it keeps listening.
void CutStoreConnections(const testing::TestStore& store) {
  RunOrThrow("'" + store.Value("KORVANT_STORE_SCRIPT") + "' disconnect '" +
             store.Value("KORVANT_STORE_STATE") + "'");
}

// A small file system of its own at `folder` for one test: a size-limited tmpfs, or a read-only
// one. Unmounted (lazily, so nothing can hold it) when the test ends.
class TmpfsMount {
 public:
  TmpfsMount(const fs::path& folder, const std::string& options, bool readOnly = false)
      : folder_(folder) {
    fs::create_directories(folder);
    mounted_ =
        mount("tmpfs", folder.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
  }
  ~TmpfsMount() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

// Runs `action` once, from another thread, as soon as `ready` holds; gives up after 60 s.
class Striker {
 public:
  Striker(std::function<bool()> ready, std::function<void()> action)
      : thread_([this, ready = std::move(ready), action = std::move(action)] {
          const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
          while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            if (ready()) {
              action();
              struck_ = true;
              return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        }) {}
  ~Striker() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  bool struck() const { return struck_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> struck_{false};
  std::thread thread_;
};

std::uintmax_t SizeOf(const fs::path& file) {
  std::error_code error;
  const auto size = fs::file_size(file, error);
  return error ? 0 : size;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The error text between the double quotes at the end of a failure message.
std::string QuotedError(const std::string& message) {
  if (message.size() < 2 || message.back() != '"') return {};
  const auto open = message.rfind('"', message.size() - 2);
  return open == std::string::npos ? std::string()
                                   : message.substr(open + 1, message.size() - open - 2);
}

TEST(Faults, ConnectionCutInTheMiddleOfTheInstallationSetDownload) {
  Workstation w;
  // Last in the listing's order, and large enough to be caught under way.
  const fs::path big = w.store().InstallationSet() / "zz-groot.bin";
  { std::ofstream(big, std::ios::binary); }
  fs::resize_file(big, 1024ull * 1024 * 1024);
  const fs::path local = w.Host("C:\\Korvant\\zz-groot.bin");

  Striker cut([&] { return SizeOf(local) > 0; }, [&] { CutStoreConnections(w.store()); });
  const auto run = w.RunOnce();
  cut.Stop();

  ASSERT_TRUE(cut.struck()) << "the download ended before the connection was cut";
  EXPECT_EQ(run.message.rfind(kDownloadFailed, 0), 0u) << run.message;
  EXPECT_TRUE(testing::IsCurlErrorText(QuotedError(run.message))) << run.message;
  EXPECT_EQ(run.colours.back(), kRed);
  EXPECT_EQ(run.position, run.range) << "the bar is filled";
  EXPECT_FALSE(run.closeDown) << "the window stays open with its message";
  // What arrived stays; the cut file leaves nothing that a later run would take for complete.
  EXPECT_EQ(testing::Sandbox::ReadFile(w.Host("C:\\Korvant\\Tarvo.lnk")), "shortcut");
  EXPECT_FALSE(fs::exists(local));
  EXPECT_TRUE(w.InstallationUnchanged());
  EXPECT_FALSE(fs::exists(w.Host(Workstation::kStaging)));
}

// Cuts the store's connections as soon as the staged data archive is arriving in the cloud.
TEST(Faults, ConnectionCutInTheMiddleOfTheUploadKeepsWhatDidNotArrive) {
  Workstation w(48u << 20);
  const fs::path cloudData = w.store().CloudInstaller() / "data.zip";
  std::unique_ptr<Striker> cut;
  const auto run = w.RunOnce([&](const std::string& message, InstallSession&) {
    if (!cut && Contains(message, "Uploaden naar Korvant")) {
      cut = std::make_unique<Striker>([&] { return SizeOf(cloudData) > 0; },
                                      [&] { CutStoreConnections(w.store()); });
    }
  });
  ASSERT_TRUE(cut);
  cut->Stop();
  ASSERT_TRUE(cut->struck()) << "the upload ended before the connection was cut";

  const std::string error = QuotedError(run.message);
  EXPECT_TRUE(testing::IsCurlErrorText(error)) << run.message;
  EXPECT_EQ(run.message, testing::UploadFailedMessage(error));
  EXPECT_EQ(run.colours.back(), kRed);
  EXPECT_EQ(run.migrationIncomplete, 1);
  EXPECT_FALSE(run.closeDown);
  // The archive that was under way is still staged, whole; so is Connection.ini, which marks a
  // cloud installation as complete and so is sent last.
  EXPECT_EQ(w.Staged(), (std::vector<std::string>{"Connection.ini", "data.zip", "pdf.zip"}));
  const fs::path local = w.Host(Workstation::kInstallation);
  EXPECT_EQ(testing::ZipContents(w.Host(std::string(Workstation::kStaging) + "\\data.zip")),
            testing::FolderContents(local / "data"));
  EXPECT_FALSE(fs::exists(w.store().CloudInstaller() / "Connection.ini"));
  EXPECT_TRUE(w.InstallationUnchanged());

  // The next start finds no cloud installation, migrates again from what is staged and
  // completes it.
  const auto again = w.RunOnce();
  EXPECT_EQ(again.message, kDone);
  EXPECT_EQ(again.migrationIncomplete, 0);
  EXPECT_EQ(testing::ZipContents(cloudData), testing::FolderContents(local / "data"));
  EXPECT_TRUE(fs::exists(w.store().CloudInstaller() / "Connection.ini"));
  EXPECT_FALSE(fs::exists(w.Host(Workstation::kStaging)));
  EXPECT_TRUE(w.InstallationUnchanged());
}

// The store refuses the login at the start, and again at the upload after the account's
// password was changed on the store while the run was under way.
TEST(Faults, TheStoreRefusesTheLogin) {
  Workstation w;
  {
    SCOPED_TRACE("at the start: nothing is fetched, nothing staged");
    const auto run = w.RunOnce(w.store().User(), "onjuist");
    EXPECT_EQ(run.message, kDownloadFailed + CurlText(kCurlLoginDenied) + "\"");
    EXPECT_EQ(run.colours, std::vector<std::uint32_t>{kRed});
    EXPECT_FALSE(fs::exists(w.Host("C:\\Korvant\\Tarvo.lnk")));
    EXPECT_FALSE(fs::exists(w.Host(Workstation::kStaging)));
    EXPECT_TRUE(w.InstallationUnchanged());
  }
  {
    SCOPED_TRACE("at the upload: everything stays staged");
    std::unique_ptr<testing::PasswordChange> changed;
    const auto run = w.RunOnce([&](const std::string& message, InstallSession&) {
      if (!changed && Contains(message, "Uploaden naar Korvant")) {
        changed = std::make_unique<testing::PasswordChange>(w.store(), "gewijzigd-123");
      }
    });
    changed.reset();
    EXPECT_EQ(run.message, testing::UploadFailedMessage(CurlText(kCurlLoginDenied)));
    EXPECT_EQ(run.colours.back(), kRed);
    EXPECT_EQ(w.Staged(), (std::vector<std::string>{"Connection.ini", "data.zip", "pdf.zip"}));
    EXPECT_FALSE(fs::exists(w.store().CloudInstaller()));
    EXPECT_TRUE(w.InstallationUnchanged());
  }
  {
    SCOPED_TRACE("the next start uploads what was staged");
    const auto run = w.RunOnce();
    EXPECT_EQ(run.message, kDone);
    EXPECT_TRUE(fs::exists(w.store().CloudInstaller() / "Connection.ini"));
    EXPECT_FALSE(fs::exists(w.Host(Workstation::kStaging)));
  }
}

// The store's disk for the user's cloud folder holds 1 MiB; the data archive is larger.
TEST(Faults, TheStoresDiskRefusesTheUpload) {
  Workstation w(3u << 20);
  TmpfsMount full(w.store().CloudInstaller().parent_path(), "size=1m,mode=0777");
  if (!full.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";

  const auto run = w.RunOnce();
  const std::string error = QuotedError(run.message);
  EXPECT_TRUE(testing::IsCurlErrorText(error)) << run.message;
  EXPECT_EQ(run.message, testing::UploadFailedMessage(error));
  EXPECT_EQ(run.colours.back(), kRed);
  EXPECT_EQ(run.migrationIncomplete, 1);
  // Nothing that failed to arrive was deleted, and no marker claims a complete cloud
  // installation.
  EXPECT_EQ(w.Staged(), (std::vector<std::string>{"Connection.ini", "data.zip", "pdf.zip"}));
  EXPECT_FALSE(fs::exists(w.store().CloudInstaller() / "Connection.ini"));
  EXPECT_TRUE(w.InstallationUnchanged());
}

// "C:\Korvant" is a file system of 1 MiB; the installation set holds a file of 4 MiB.
TEST(Faults, TheLocalDiskFillsUpWhileTheInstallationSetDownloads) {
  Workstation w;
  w.store().AddToInstallationSet("zz-groot.bin", std::string(4u << 20, 'g'));
  TmpfsMount korvant(w.Host("C:\\Korvant"), "size=1m");
  if (!korvant.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  // A file the user had there from an earlier run.
  std::ofstream(w.Host("C:\\Korvant\\Tarvo.lnk")) << "earlier";
  testing::TraceCapture trace;

  const auto run = w.RunOnce();
  EXPECT_EQ(run.message, kDownloadFailed + CurlText(kCurlWriteError) + "\"");
  EXPECT_EQ(run.colours.back(), kRed);
  EXPECT_EQ(run.transferError, CurlText(kCurlWriteError));
  // Windows' "disk full" reaches the trace.
  EXPECT_TRUE(trace.Contains("[libcurl] WriteFile(C:\\Korvant\\zz-groot.bin) error 112"));
  // The part that fitted is gone again, so the space is free and a later run fetches the file.
  EXPECT_FALSE(fs::exists(w.Host("C:\\Korvant\\zz-groot.bin")));
  EXPECT_EQ(testing::Sandbox::ReadFile(w.Host("C:\\Korvant\\Tarvo.lnk")), "earlier");
  EXPECT_EQ(testing::Sandbox::ReadFile(w.Host("C:\\Korvant\\Tarvo.connect")), "[connection]\r\n");
  EXPECT_TRUE(w.InstallationUnchanged());
}

// A staged archive cannot be read when its turn comes (the disk under it fails): the upload
// stops there and keeps it.
TEST(Faults, AStagedFileThatCannotBeReadDuringTheUpload) {
  Workstation w;
  const fs::path pdf = w.Host(std::string(Workstation::kStaging) + "\\pdf.zip");
  std::string stagedPdf;
  testing::TraceCapture trace;
  const auto run = w.RunOnce([&](const std::string& message, InstallSession&) {
    if (stagedPdf.empty() && Contains(message, "Uploaden naar Korvant")) {
      stagedPdf = testing::Sandbox::ReadFile(pdf);
      // Opening it works, every read of it fails with an I/O error.
      fs::rename(pdf, pdf.string() + ".echt");
      fs::create_symlink("/proc/self/mem", pdf);
    }
  });
  ASSERT_FALSE(stagedPdf.empty());
  EXPECT_EQ(run.message, testing::UploadFailedMessage(CurlText(kCurlReadError))) << run.message;
  EXPECT_TRUE(trace.AnyStartsWith("[libcurl] ReadFile(C:\\Korvant\\.transfer\\pdf.zip error "));
  EXPECT_EQ(run.colours.back(), kRed);
  // data.zip arrived and went; pdf.zip and Connection.ini stay staged.
  EXPECT_EQ(w.Staged(), (std::vector<std::string>{"Connection.ini", "pdf.zip"}));
  EXPECT_EQ(testing::Sandbox::ReadFile(pdf.string() + ".echt"), stagedPdf);
  EXPECT_FALSE(fs::exists(w.store().CloudInstaller() / "Connection.ini"));
  EXPECT_TRUE(w.InstallationUnchanged());
}

TEST(Faults, AStagingFolderOnAReadOnlyFileSystem) {
  Workstation w;
  TmpfsMount readOnly(w.Host(Workstation::kStaging), "size=1m", true);
  if (!readOnly.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";

  const auto run = w.RunOnce();
  EXPECT_EQ(
      run.message.rfind("1957:\r\nKopi\xEBren van installatie naar \"C:\\Korvant\\.transfer\" "
                        "is mislukt!\r\nError Code: ",
                        0),
      0u)
      << run.message;
  EXPECT_FALSE(Contains(run.message, "Error Code: 0\r\n")) << run.message;
  EXPECT_EQ(run.colours.back(), kRed);
  EXPECT_EQ(run.migrationIncomplete, 1);
  EXPECT_FALSE(fs::exists(w.store().CloudInstaller()));
  // No archive was left in the installation on the way.
  EXPECT_TRUE(w.InstallationUnchanged());
}

// The store answers with another host key on the second start than on the first: the program
// logs in nowhere and fetches nothing.
TEST(Faults, TheHostKeyChangedBetweenTwoRuns) {
  Workstation w;
  w.store().AddToCloud("Connection.ini", "[con1]\r\nremote=1\r\n");
  const auto first = w.RunOnce();
  ASSERT_EQ(first.message, kDone);

  w.store().AddToInstallationSet("Nieuw.txt", "new in the set");
  const std::string pinned = w.store().Value("KORVANT_STORE_HOSTKEY_SHA256");
  setenv("KORVANT_STORE_HOSTKEY_SHA256", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 1);
  const auto second = w.RunOnce();
  setenv("KORVANT_STORE_HOSTKEY_SHA256", pinned.c_str(), 1);

  EXPECT_EQ(second.message, kDownloadFailed + CurlText(kCurlPeerFailedVerification) + "\"");
  EXPECT_EQ(second.colours.back(), kRed);
  EXPECT_FALSE(fs::exists(w.Host("C:\\Korvant\\Nieuw.txt")));
  // What the first run installed is all still there.
  EXPECT_EQ(testing::Sandbox::ReadFile(w.Host("C:\\Korvant\\Tarvo.connect")), "[connection]\r\n");
  EXPECT_EQ(testing::Sandbox::ReadFile(w.Host("C:\\Users\\Public\\Desktop\\Tarvo-Cloud.lnk")),
            "shortcut");
  EXPECT_TRUE(w.InstallationUnchanged());
}

}  // namespace
}  // namespace korvant
