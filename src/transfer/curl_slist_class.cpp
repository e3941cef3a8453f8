#include "transfer/curl_slist_class.h"

#include <curl/curl.h>

namespace korvant {

void TCurlSListClass::Free() {
  if (PLIST == nullptr) return;
  curl_slist_free_all(static_cast<curl_slist*>(PLIST));
  PLIST = nullptr;
}

}  // namespace korvant
