#include "transfer/curl_callbacks.h"
#include "transfer/curl_trace.h"
#include "transfer/local_file_class.h"

namespace korvant {

// Download data into the stream's file, created (or truncated) by the first block; without a
// stream the data is dropped. Returns the bytes written, or -1 after a trace line.
std::size_t WriteToFileCallback(char* data, std::size_t size, std::size_t count, void* stream) {
  const std::size_t bytes = size * count;
  auto* file = static_cast<TLocalFileClass*>(stream);
  if (file == nullptr) return bytes;
  if (!file->OpenForWrite()) {
    CurlTrace("CreateFile(" + file->GetFileName() + ") error");
    return kCallbackFailure;
  }
  std::uint32_t written = 0;
  if (file->Write(data, static_cast<std::uint32_t>(bytes), written)) {
    file->FPOSITION += written;
    return written;
  }
  CurlTrace("WriteFile(" + file->GetFileName() + ") error " + std::to_string(file->LastError()));
  return kCallbackFailure;
}

}  // namespace korvant
