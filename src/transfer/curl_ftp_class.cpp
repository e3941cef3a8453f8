#include <curl/curl.h>

#include "shared/windows1252.h"
#include "transfer/curl_class.h"

namespace korvant {

int TCurlFtpClass::Init() {
  TCurlClass::Init();
  return SetDefaultProtocol("ftp");
}

int TCurlFtpClass::Download(std::string_view url, std::string_view localFile,
                            ProgressFunction progressFunction) {
  if (UpperCase1252(url.substr(0, 7)) != "SFTP://") {
    const int result = SetOpt(CURLOPT_WILDCARDMATCH, 1);
    if (result != CURLE_OK) return result;
  }
  return TCurlClass::Download(url, localFile, progressFunction);
}

int TCurlFtpClass::ListDirectory(std::string_view url, RemoteChildren& entries) {
  entries.clear();
  // The long listing ("ls -l" lines), not the names alone.
  int result = SetOpt(CURLOPT_DIRLISTONLY, 0);
  if (result != CURLE_OK) return result;
  std::vector<RESPQ> lines;
  {
    std::string listing;
    result = ReadToBuffer(url, &listing);
    if (result == CURLE_OK) SplitLines(listing, lines);
    SetOpt(CURLOPT_WRITEDATA, static_cast<const void*>(nullptr));
  }
  if (result != CURLE_OK) return result;
  AddListingEntries(lines, entries);
  return CURLE_OK;
}

}  // namespace korvant
