#include <curl/curl.h>

#include <string>

#include "transfer/curl_callbacks.h"
#include "transfer/curl_trace.h"
#include "transfer/local_file_class.h"

namespace korvant {

// Before each remote file of an FTP wildcard download: traces what comes and creates the stream's
// file for a plain file. Returns CURL_CHUNK_BGN_FUNC_OK, or CURL_CHUNK_BGN_FUNC_SKIP for nameless
// entries, a missing stream or a file that cannot be created.
long ChunkBeginCallback(const void* fileInfo, void* stream, int /*remaining*/) {
  const auto* info = static_cast<const curl_fileinfo*>(fileInfo);
  if (info == nullptr || info->filename == nullptr) return CURL_CHUNK_BGN_FUNC_SKIP;
  const std::string name = info->filename;
  switch (info->filetype) {
    case CURLFILETYPE_DIRECTORY:
      CurlTrace("Coming: DIR " + name);
      break;
    case CURLFILETYPE_FILE:
      CurlTrace("Coming: FILE " + name);
      break;
    default:
      CurlTrace("Coming: object of type " + std::to_string(static_cast<int>(info->filetype)) + " " +
                name);
      break;
  }
  auto* file = static_cast<TLocalFileClass*>(stream);
  if (file == nullptr) return CURL_CHUNK_BGN_FUNC_SKIP;
  if (info->filetype != CURLFILETYPE_FILE) return CURL_CHUNK_BGN_FUNC_OK;
  if (file->OpenForWrite()) return CURL_CHUNK_BGN_FUNC_OK;
  CurlTrace("CreateFile(" + file->GetFileName() + " error");
  return CURL_CHUNK_BGN_FUNC_SKIP;
}

}  // namespace korvant
