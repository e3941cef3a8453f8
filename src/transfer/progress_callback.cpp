#include "transfer/curl_callbacks.h"
#include "transfer/curl_class.h"

namespace korvant {

// libcurl's older progress callback: forwards the four counters to the object's OnProgress, whose
// non-zero result aborts the transfer. Without an object: 0, go on.
int ProgressCallback(void* object, double dltotal, double dlnow, double ultotal, double ulnow) {
  auto* session = static_cast<TCurlClass*>(object);
  if (session == nullptr) return 0;
  return session->OnProgress(dltotal, dlnow, ultotal, ulnow);
}

}  // namespace korvant
