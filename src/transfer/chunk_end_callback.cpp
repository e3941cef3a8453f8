#include <curl/curl.h>

#include "transfer/curl_callbacks.h"
#include "transfer/curl_trace.h"
#include "transfer/local_file_class.h"

namespace korvant {

// After each remote file of an FTP wildcard download: traces it and closes the stream's file.
// Always CURL_CHUNK_END_FUNC_OK.
long ChunkEndCallback(void* stream) {
  auto* file = static_cast<TLocalFileClass*>(stream);
  if (file == nullptr) return CURL_CHUNK_END_FUNC_OK;
  CurlTrace("Downloaded: " + file->GetFileName());
  file->Close();
  return CURL_CHUNK_END_FUNC_OK;
}

}  // namespace korvant
