#include <curl/curl.h>

#include <string_view>

#include "transfer/curl_callbacks.h"
#include "transfer/curl_class.h"

namespace korvant {
namespace {

std::string_view InfoLabel(int infoType) {
  switch (infoType) {
    case CURLINFO_TEXT:
      return "TEXT";
    case CURLINFO_HEADER_IN:
      return "HEADER_IN";
    case CURLINFO_HEADER_OUT:
      return "HEADER_OUT";
    case CURLINFO_DATA_IN:
      return "DATA_IN";
    case CURLINFO_DATA_OUT:
      return "DATA_OUT";
    case CURLINFO_SSL_DATA_IN:
      return "SSL_DATA_IN";
    case CURLINFO_SSL_DATA_OUT:
      return "SSL_DATA_OUT";
    default:
      return "Unknown info type";
  }
}

}  // namespace

// Every libcurl debug event: handed to the object's OnDebugData and Trace with its label. The data
// is passed as it lies in libcurl's buffer; Trace builds a line only when someone listens, so
// file data costs nothing when nobody does. Always 0.
int DebugCallback(void* /*handle*/, int infoType, char* data, std::size_t size, void* object) {
  auto* session = static_cast<TCurlClass*>(object);
  if (session == nullptr) return 0;
  const std::string_view text(data, data == nullptr ? 0 : size);
  session->OnDebugData(infoType, text);
  session->Trace(infoType, InfoLabel(infoType), text);
  return 0;
}

}  // namespace korvant
