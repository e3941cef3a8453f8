#include "transfer/curl_callbacks.h"
#include "transfer/curl_trace.h"
#include "transfer/local_file_class.h"

namespace korvant {

// Upload data from the stream's file, opened by the first call; 0 bytes (end of file) ends the
// upload. Returns the bytes read, or -1 (no stream, or after a trace line).
std::size_t ReadFromFileCallback(char* buffer, std::size_t size, std::size_t count, void* stream) {
  auto* file = static_cast<TLocalFileClass*>(stream);
  if (file == nullptr) return kCallbackFailure;
  if (!file->OpenForRead()) {
    CurlTrace("OpenFile(" + file->GetFileName() + " error");
    return kCallbackFailure;
  }
  std::uint32_t read = 0;
  if (file->Read(buffer, static_cast<std::uint32_t>(size * count), read)) return read;
  CurlTrace("ReadFile(" + file->GetFileName() + " error " + std::to_string(file->LastError()));
  return kCallbackFailure;
}

}  // namespace korvant
