#pragma once

#include <string_view>

namespace korvant {

// One line of the transfer client on the debugger output: "[libcurl] " and the text.
void CurlTrace(std::string_view text);
// False when nobody reads the debugger output: callers then build no trace text at all.
bool CurlTraceListening();

}  // namespace korvant
