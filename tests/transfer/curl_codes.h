#pragma once

#include <string>

#include "transfer/curl_class.h"

namespace korvant::testing {

// libcurl's result codes that the transfer tests expect, and the text the program shows for one.
inline constexpr int kCurlWriteError = 23;
inline constexpr int kCurlReadError = 26;
inline constexpr int kCurlPeerFailedVerification = 60;
inline constexpr int kCurlLoginDenied = 67;

inline std::string CurlText(int code) {
  return TCurlClass().StrError(code);
}

}  // namespace korvant::testing
