#include "transfer/curl_class.h"

#include <curl/curl.h>

#include "platform/file_system.h"
#include "transfer/curl_callbacks.h"
#include "transfer/curl_trace.h"
#include "transfer/local_file_class.h"

namespace korvant {
namespace {

CURL* Easy(void* handle) {
  return static_cast<CURL*>(handle);
}
CURLoption Option(int option) {
  return static_cast<CURLoption>(option);
}

// The program's own texts for libcurl result codes: none, so every text is libcurl's.
constexpr unsigned char kCustomErrors[] = {0, 0};

}  // namespace

TCurlClass::TCurlClass()
    : URLP(std::make_unique<TCurlUrlClass>()),
      HEADERS(std::make_unique<TCurlSListClass>()),
      ERRORS(std::make_unique<TCurlErrorQueue>()) {}

TCurlClass::~TCurlClass() {
  Cleanup();
  URLP.reset();
  HEADERS.reset();
  ERRORS.reset();
}

void TCurlClass::AddError(std::int32_t id, std::string_view message) {
  if (ERRORS) ERRORS->Add(id, message);
}

void TCurlClass::AddErrors(std::span<const unsigned char> table) {
  if (table.size() < 2) return;
  const std::size_t count = table[0] | (table[1] << 8);
  std::size_t at = 2;
  for (std::size_t entry = 0; entry < count; ++entry) {
    if (at + 5 > table.size()) return;  // a table cut short adds what it holds
    const auto id = static_cast<std::int16_t>(table[at] | (table[at + 1] << 8));
    const std::size_t length = table[at + 4];
    at += 5;
    if (at + length > table.size()) return;
    AddError(id, std::string_view(reinterpret_cast<const char*>(table.data() + at), length));
    at += length;
  }
}

int TCurlClass::Init() {
  CURL = curl_easy_init();
  URLP->Create();
  AddErrors(kCustomErrors);
  SetUserAgent("curl/7.88.1");
  return 0;
}

void TCurlClass::Cleanup() {
  FreeHeaders();
  if (CURL != nullptr) {
    curl_easy_cleanup(Easy(CURL));
    CURL = nullptr;
  }
  if (URLP) URLP->Cleanup();
}

void TCurlClass::Reset() {
  FreeHeaders();
  if (CURL != nullptr) curl_easy_reset(Easy(CURL));
}

std::string TCurlClass::StrError(int code) {
  if (ERRORS) {
    if (const auto* record = ERRORS->Find(code)) return std::string(record->MESSAGE);
  }
  return curl_easy_strerror(static_cast<CURLcode>(code));
}

std::int32_t TCurlClass::OnProgress(double, double, double, double) {
  return 0;
}

void TCurlClass::Trace(int infoType, std::string_view label, std::string_view data) {
  const std::uint32_t bit = infoType >= 0 && infoType < 32 ? 1u << infoType : 0u;
  if ((static_cast<std::uint32_t>(DEBUGINFOMASK) & bit) == 0) return;
  if (!CurlTraceListening()) return;
  std::string text;
  const std::string_view clippedData = ClipBlanks(data);
  text.reserve(label.size() + 2 + clippedData.size());
  text.append(ClipBlanks(label)).append(": ").append(clippedData);
  CurlTrace(text);
}

void TCurlClass::OnDebugData(int, std::string_view) {}

void TCurlClass::OnText(std::string_view) {}

std::string UserPwdText(std::string_view user, std::string_view password) {
  const std::string_view clippedUser = ClipBlanks(user);
  const std::string_view clippedPassword = ClipBlanks(password);
  std::string value;
  if (!clippedUser.empty() && !clippedPassword.empty()) {
    value.append(clippedUser).append(":").append(clippedPassword);
  }
  return value;
}

int TCurlClass::SetUserPwd(std::string_view user, std::string_view password) {
  return SetOpt(CURLOPT_USERPWD, std::string_view(UserPwdText(user, password)));
}

int TCurlClass::SetUrl(std::string_view url) {
  const int urlError = URLP->SetPart(CURLUPART_URL, url, CURLU_ALLOW_SPACE);
  if (urlError != CURLUE_OK) {
    CurlTrace("TCurlClass.SetUrl(" + std::string(ClipBlanks(url)) +
              ") error: " + curl_url_strerror(static_cast<CURLUcode>(urlError)));
    return CURLE_URL_MALFORMAT;
  }
  return SetOpt(CURLOPT_CURLU, URLP->Handle());
}

int TCurlClass::SetOpt(int option, std::int32_t value) {
  return curl_easy_setopt(Easy(CURL), Option(option), static_cast<long>(value));
}

int TCurlClass::SetOpt(int option, const void* address) {
  return curl_easy_setopt(Easy(CURL), Option(option), address);
}

int TCurlClass::SetOpt(int option, FunctionAddress function) {
  return curl_easy_setopt(Easy(CURL), Option(option), function);
}

int TCurlClass::SetOpt(int option, std::string_view text) {
  // libcurl keeps its own copy of a text option.
  const std::string value(ClipBlanks(text));
  return curl_easy_setopt(Easy(CURL), Option(option), value.c_str());
}

int TCurlClass::SetUserAgent(std::string_view text) {
  return SetOpt(CURLOPT_USERAGENT, text);
}

int TCurlClass::SetDefaultProtocol(std::string_view text) {
  return SetOpt(CURLOPT_DEFAULT_PROTOCOL, text);
}

void TCurlClass::FreeHeaders() {
  if (HEADERS) HEADERS->Free();
  if (CURL != nullptr) SetOpt(CURLOPT_HTTPHEADER, static_cast<const void*>(nullptr));
}

int TCurlClass::SetDebugFunction(FunctionAddress callback) {
  int result = SetOpt(CURLOPT_DEBUGFUNCTION, callback);
  if (result == CURLE_OK) result = SetOpt(CURLOPT_DEBUGDATA, static_cast<const void*>(this));
  if (result == CURLE_OK) result = SetOpt(CURLOPT_VERBOSE, 1);
  return result;
}

int TCurlClass::SetProgressFunction(ProgressFunction progressFunction) {
  if (progressFunction != nullptr) {
    const int result = SetOpt(CURLOPT_PROGRESSFUNCTION, AsFunction(progressFunction));
    if (result != CURLE_OK) return result;
  } else {
    SetOpt(CURLOPT_PROGRESSFUNCTION, AsFunction(&ProgressCallback));
    const int result = SetOpt(CURLOPT_PROGRESSDATA, static_cast<const void*>(this));
    if (result != CURLE_OK) return result;
  }
  return SetOpt(CURLOPT_NOPROGRESS, 0);
}

int TCurlClass::SetWriteFunction(FunctionAddress callback, void* data) {
  const int result = SetOpt(CURLOPT_WRITEFUNCTION, callback);
  if (result != CURLE_OK) return result;
  return SetOpt(CURLOPT_WRITEDATA, static_cast<const void*>(data));
}

int TCurlClass::SetReadFunction(FunctionAddress callback, void* data) {
  const int result = SetOpt(CURLOPT_READFUNCTION, callback);
  if (result != CURLE_OK) return result;
  return SetOpt(CURLOPT_READDATA, static_cast<const void*>(data));
}

int TCurlClass::Perform() {
  SetDebugFunction(AsFunction(&DebugCallback));
  return curl_easy_perform(Easy(CURL));
}

int TCurlClass::Download(std::string_view url, std::string_view localFile,
                         ProgressFunction progressFunction) {
  TLocalFileClass stream;
  stream.Init(localFile);
  int result = SetWriteFunction(AsFunction(&WriteToFileCallback), &stream);
  if (result == CURLE_OK) result = SetProgressFunction(progressFunction);
  if (result == CURLE_OK) result = SetUrl(url);
  if (result == CURLE_OK) {
    TCurlUrlClass scratch;
    scratch.Create();
    scratch.SetPart(CURLUPART_URL, url, CURLU_DEFAULT_SCHEME);
    FixedText<20> scheme;
    scratch.GetPart(CURLUPART_SCHEME, scheme, 0);
    if (scheme == "ftp") {
      result = SetOpt(CURLOPT_CHUNK_BGN_FUNCTION, AsFunction(&ChunkBeginCallback));
      if (result == CURLE_OK)
        result = SetOpt(CURLOPT_CHUNK_END_FUNCTION, AsFunction(&ChunkEndCallback));
      if (result == CURLE_OK) {
        stream.Init(localFile);
        result = SetOpt(CURLOPT_CHUNK_DATA, static_cast<const void*>(&stream));
      }
    }
    scratch.Cleanup();
    if (result == CURLE_OK) result = Perform();
  }
  // The stream dies with this call; libcurl must not keep pointing at it.
  SetOpt(CURLOPT_WRITEDATA, static_cast<const void*>(nullptr));
  SetOpt(CURLOPT_CHUNK_DATA, static_cast<const void*>(nullptr));
  // A partial file would pass for a complete one on every later run: what a failed transfer
  // wrote goes.
  if (result != CURLE_OK && stream.CreatedFile()) {
    stream.Close();
    platform::RemoveFile(stream.GetFileName());
  }
  return result;
}

int TCurlClass::Upload(std::string_view url, std::string_view localFile,
                       ProgressFunction progressFunction) {
  TLocalFileClass stream;
  stream.Init(localFile);
  int result = SetReadFunction(AsFunction(&ReadFromFileCallback), &stream);
  if (result == CURLE_OK) result = SetOpt(CURLOPT_UPLOAD, 1);
  if (result == CURLE_OK) result = SetProgressFunction(progressFunction);
  if (result == CURLE_OK) result = SetUrl(url);
  if (result == CURLE_OK) result = Perform();
  SetOpt(CURLOPT_READDATA, static_cast<const void*>(nullptr));
  return result;
}

int TCurlClass::ReadToBuffer(std::string_view url, std::string* buffer,
                             ProgressFunction progressFunction) {
  int result = CURLE_OK;
  if (buffer != nullptr) result = SetWriteFunction(AsFunction(&WriteToBufferCallback), buffer);
  if (result == CURLE_OK) result = SetProgressFunction(progressFunction);
  if (result == CURLE_OK) result = SetUrl(url);
  if (result == CURLE_OK) result = Perform();
  return result;
}

}  // namespace korvant
