#pragma once

#include <string_view>

namespace korvant::platform {

// The debugger output channel. Lines go nowhere unless someone listens, so callers ask first and
// build no text for nobody.
bool DebugOutputListening();
void WriteDebugOutput(std::string_view line);

}  // namespace korvant::platform
