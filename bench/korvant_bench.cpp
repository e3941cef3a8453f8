// Times one whole store or archive operation of the program, as the workflow calls it, and prints
// what it measured on one line:  seconds=<wall time> result=<code> maxrss_kib=<peak memory>.
//
//   korvant_bench download                       DownloadInstallationSet into C:\Korvant
//   korvant_bench upload <folder>                UploadTransferFolder of a Windows folder
//   korvant_bench list <remote folder>           ListDirectory (prints the entry count too)
//   korvant_bench copy-archive <source> <dest>   CopyFolderViaArchive, not expanding
//   korvant_bench get <remote file> <local> <receive buffer>   the store operations' own steps
//   korvant_bench put <local> <remote file> <send buffer>      with other transfer buffer sizes
//
// The store comes from the environment as for the program (KORVANT_STORE_HOST and the pinned key),
// the account from KORVANT_STORE_USER and KORVANT_STORE_PASSWORD, Windows paths from
// KORVANT_DRIVES. Nothing is shown to anyone: the recording front end takes the window operations.
#include <curl/curl.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "migrate/folder_copy.h"
#include "platform/environment.h"
#include "platform/recording/recording_ui.h"
#include "shared/install_session.h"
#include "transfer/curl_class.h"
#include "transfer/store_operations.h"
#include "transfer/store_session.h"

namespace {

using korvant::platform::RecordingUserInterface;

std::string Required(std::string_view name) {
  auto value = korvant::platform::EnvironmentValue(name);
  if (!value || value->empty()) {
    std::fprintf(stderr, "korvant_bench: %s is not set\n", std::string(name).c_str());
    std::exit(2);
  }
  return *value;
}

long PeakMemoryKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Runs the operation once and reports it; the exit status is 0 only when the operation succeeded,
// so a script never takes the time of a failed run for a figure.
int Timed(const std::function<int()>& operation, const std::function<std::string()>& failure) {
  const auto start = std::chrono::steady_clock::now();
  const int result = operation();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("seconds=%.6f result=%d maxrss_kib=%ld\n", elapsed.count(), result, PeakMemoryKib());
  if (result != 0) {
    std::fprintf(stderr, "korvant_bench: failed (%d): %s\n", result, failure().c_str());
    return 1;
  }
  return 0;
}

std::int32_t BufferSize(const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  // libcurl's own limits for both buffers.
  if (end == text || *end != '\0' || value < 1024 || value > 10 * 1024 * 1024) {
    std::fprintf(stderr, "korvant_bench: buffer size must be 1024..10485760 bytes: %s\n", text);
    std::exit(2);
  }
  return static_cast<std::int32_t>(value);
}

int Usage() {
  std::fprintf(stderr,
               "usage: korvant_bench download | upload <folder> | list <remote folder> |\n"
               "       copy-archive <source> <destination> |\n"
               "       get <remote file> <local file> <bytes> | put <local file> <remote file> "
               "<bytes>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string_view command = args[0];
  RecordingUserInterface ui;
  korvant::InstallSession session;
  const auto transferError = [&] { return session.TransferError.Clip(); };

  if (command == "copy-archive" && args.size() == 3) {
    return Timed([&] { return korvant::CopyFolderViaArchive(ui, 0, args[1], args[2]); },
                 [] { return std::string("the archive copy failed"); });
  }

  curl_global_init(CURL_GLOBAL_DEFAULT);
  const std::string user = Required("KORVANT_STORE_USER");
  const std::string password = Required("KORVANT_STORE_PASSWORD");
  int status = -1;
  if (command == "download" && args.size() == 1) {
    status = Timed([&] { return korvant::DownloadInstallationSet(session, ui, user, password); },
                   transferError);
  } else if (command == "upload" && args.size() == 2) {
    status =
        Timed([&] { return korvant::UploadTransferFolder(session, ui, args[1], user, password); },
              transferError);
  } else if (command == "list" && args.size() == 2) {
    korvant::RemoteChildren entries;
    korvant::TCurlFtpClass object;
    std::string error;
    status = Timed(
        [&] {
          korvant::OpenStoreRoot(object, ui, user, password);
          const int code = object.ListDirectory(args[1], entries);
          if (code != 0) error = object.StrError(code);
          return code;
        },
        [&] { return error; });
    std::printf("entries=%zu\n", entries.size());
  } else if ((command == "get" || command == "put") && args.size() == 4) {
    // The steps of the store operations, with the session's transfer buffers replaced afterwards.
    const std::int32_t size = BufferSize(argv[4]);
    korvant::TCurlClass object;
    std::string error;
    status = Timed(
        [&] {
          korvant::OpenStoreRoot(object, ui, user, password);
          const int option = command == "get" ? CURLOPT_BUFFERSIZE : CURLOPT_UPLOAD_BUFFERSIZE;
          if (const int code = object.SetOpt(option, size)) return code;
          const int code = command == "get" ? korvant::DownloadStoreFile(object, args[1], args[2])
                                            : korvant::UploadStoreFile(object, args[1], args[2]);
          if (code != 0) error = object.StrError(code);
          return code;
        },
        [&] { return error; });
  }
  curl_global_cleanup();
  return status == -1 ? Usage() : status;
}
