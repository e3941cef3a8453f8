#include "platform/debug_output.h"

#include <stdio.h>

#include <string>

#include "platform/environment.h"

namespace korvant::platform {
namespace {

// Like the debugger output with no debugger attached: lines go nowhere unless
// KORVANT_DEBUG_OUTPUT names a file, or "-" for standard error.
FILE* Channel() {
  static FILE* channel = [] {
    const auto target = EnvironmentValue("KORVANT_DEBUG_OUTPUT");
    if (!target || target->empty()) return static_cast<FILE*>(nullptr);
    if (*target == "-") return stderr;
    return fopen(target->c_str(), "ab");
  }();
  return channel;
}

}  // namespace

bool DebugOutputListening() { return Channel() != nullptr; }

void WriteDebugOutput(std::string_view line) {
  FILE* channel = Channel();
  if (channel == nullptr) return;
  // The output takes NUL-terminated text: whatever follows a NUL byte is not shown.
  const auto end = line.find('\0');
  const std::string_view shown = line.substr(0, end);
  fwrite(shown.data(), 1, shown.size(), channel);
  fputc('\n', channel);
  fflush(channel);
}

}  // namespace korvant::platform
