#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvant::platform {

inline constexpr std::int32_t kStartFailed = -4;

struct RunResult {
  // The process's exit code; kStartFailed when it could not be started (then `error` holds the
  // Windows error code of the failure). Without waiting, 0 once started.
  std::int32_t code = 0;
  std::uint32_t error = 0;
};

// Starts a Windows command line: the program part is a path or a bare name, searched the way
// Windows searches (the program's own folder, the current folder, then PATH).
RunResult RunCommandLine(std::string_view commandLine, bool wait);

// Opens a document with the application registered for its type; not waited for.
void OpenDocument(std::string_view path);

// Full path of the program's own executable file.
std::string OwnProgramPath();

void SleepMilliseconds(std::uint32_t milliseconds);

}  // namespace korvant::platform
