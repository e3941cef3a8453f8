#include "transfer/curl_trace.h"

#include <string>

#include "platform/debug_output.h"

namespace korvant {

bool CurlTraceListening() {
  return platform::DebugOutputListening();
}

void CurlTrace(std::string_view text) {
  if (!CurlTraceListening()) return;
  std::string line;
  line.reserve(10 + text.size());
  line.append("[libcurl] ").append(text);
  platform::WriteDebugOutput(line);
}

}  // namespace korvant
