#include "transfer/curl_url_class.h"

#include <curl/curl.h>

namespace korvant {

void TCurlUrlClass::Create() {
  Cleanup();
  URLP = curl_url();
}

void TCurlUrlClass::Cleanup() {
  if (URLP == nullptr) return;
  curl_url_cleanup(static_cast<CURLU*>(URLP));
  URLP = nullptr;
}

int TCurlUrlClass::SetPart(int part, std::string_view text, unsigned flags) {
  const std::string value(ClipBlanks(text));
  return curl_url_set(static_cast<CURLU*>(URLP), static_cast<CURLUPart>(part), value.c_str(),
                      flags);
}

int TCurlUrlClass::GetPartText(int part, std::string& value, unsigned flags) {
  char* out = nullptr;
  const CURLUcode result =
      curl_url_get(static_cast<CURLU*>(URLP), static_cast<CURLUPart>(part), &out, flags);
  if (result != CURLUE_OK) return result;
  value = out;
  curl_free(out);
  return 0;
}

}  // namespace korvant
