#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "transfer/curl_error_queue.h"
#include "transfer/curl_slist_class.h"
#include "transfer/curl_url_class.h"
#include "transfer/remote_listing.h"

namespace korvant {

// The CURLOPT_USERPWD value: "user:password" without trailing blanks, or the empty text when
// either side is blank.
std::string UserPwdText(std::string_view user, std::string_view password);

// The transfer client: one libcurl easy session with its URL handle, credentials, options and the
// callbacks of the transfer under way. Results are libcurl's result codes (0 = success); every
// operation stops at the first failing step. It never talks to the user: libcurl's debug events
// and local file errors go to the debugger output, prefixed "[libcurl] ".
//
// Option numbers are libcurl's (CURLOPT_...), so this header needs no libcurl header.
class TCurlClass {
 public:
  // libcurl's older progress callback: object, to download, downloaded, to upload, uploaded.
  using ProgressFunction = int (*)(void* object, double, double, double, double);
  // Any callback, as libcurl takes it through its option interface.
  using FunctionAddress = void (*)();
  template <typename Result, typename... Arguments>
  static FunctionAddress AsFunction(Result (*function)(Arguments...)) {
    return reinterpret_cast<FunctionAddress>(function);
  }

  TCurlClass();
  TCurlClass(const TCurlClass&) = delete;
  TCurlClass& operator=(const TCurlClass&) = delete;
  virtual ~TCurlClass();

  virtual void AddError(std::int32_t id, std::string_view message);
  // A table: 16-bit count, then per entry a 16-bit id, two unused bytes, an 8-bit length and the
  // text; all little-endian and unpadded. The texts stay in the table (it must outlive the object).
  virtual void AddErrors(std::span<const unsigned char> table);
  // Makes the easy and URL handles and sets the defaults. The result is 0 here; subclasses give
  // their own.
  virtual int Init();
  virtual void Cleanup();
  virtual void Reset();
  // The custom text for the code, or libcurl's own.
  virtual std::string StrError(int code);
  // Remote file into local file; the local file is created when the first data arrives, and a
  // partial file is removed when the transfer fails.
  virtual int Download(std::string_view url, std::string_view localFile,
                       ProgressFunction progressFunction = nullptr);
  virtual std::int32_t OnProgress(double dltotal, double dlnow, double ultotal, double ulnow);
  virtual void Trace(int infoType, std::string_view label, std::string_view data);
  virtual void OnDebugData(int infoType, std::string_view data);
  virtual void OnText(std::string_view text);

  // "user:password"; the empty text when either side is blank.
  int SetUserPwd(std::string_view user, std::string_view password);
  // Sets the URL on the session's URL handle, so a path alone resolves against the URL before it.
  // A URL that cannot be parsed gives 3 and a trace line.
  int SetUrl(std::string_view url);
  int SetOpt(int option, std::int32_t value);
  int SetOpt(int option, const void* address);
  int SetOpt(int option, FunctionAddress function);
  int SetOpt(int option, std::string_view text);  // without trailing blanks
  int SetOpt(int option, const char* text) { return SetOpt(option, std::string_view(text)); }
  int SetUserAgent(std::string_view text);
  int SetDefaultProtocol(std::string_view text);
  void FreeHeaders();
  int SetDebugFunction(FunctionAddress callback);
  // Null selects the class's own progress callback, which forwards to OnProgress.
  int SetProgressFunction(ProgressFunction progressFunction);
  int SetWriteFunction(FunctionAddress callback, void* data);
  int SetReadFunction(FunctionAddress callback, void* data);
  // Installs the debug trace and runs the transfer.
  int Perform();
  // Local file to remote URL; the upload ends at the end of the local file.
  int Upload(std::string_view url, std::string_view localFile,
             ProgressFunction progressFunction = nullptr);
  // The remote resource appended to the buffer; without a buffer no write callback is installed.
  int ReadToBuffer(std::string_view url, std::string* buffer,
                   ProgressFunction progressFunction = nullptr);

  void* CURL = nullptr;  // the easy handle
  std::unique_ptr<TCurlUrlClass> URLP;
  std::int32_t DEBUGINFOMASK = 255;  // bit n: debug info of type n is traced
  std::unique_ptr<TCurlSListClass> HEADERS;
  std::unique_ptr<TCurlErrorQueue> ERRORS;
};

// A session that speaks FTP by default and can read a remote folder's long listing.
class TCurlFtpClass : public TCurlClass {
 public:
  // Also sets the default protocol "ftp"; returns that result.
  int Init() override;
  // Wildcard matching on for every URL that does not begin with "sftp://" (any letter case).
  int Download(std::string_view url, std::string_view localFile,
               ProgressFunction progressFunction = nullptr) override;
  // The long listing of a remote folder as entries (emptied first; empty after a failure).
  int ListDirectory(std::string_view url, RemoteChildren& entries);
};

}  // namespace korvant
