#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvant::platform {

// One started child process. Without waiting, the child is handed to a short-lived intermediate
// process so that it never lingers as a zombie of ours. Start failures arrive as errno values
// through a close-on-exec pipe, so a program that cannot be executed is reported, not guessed.
struct SpawnResult {
  bool started = false;
  int error = 0;     // errno of the failed start
  int exitCode = 0;  // when waited for
};

// argv[0] is the host path of the program. The child's standard input is /dev/null and its output
// goes to `outputPath` (appended), or to /dev/null when that is empty: like a console window of its
// own, it must not read or draw into our terminal.
SpawnResult SpawnProgram(const std::vector<std::string>& argv, bool wait,
                         const std::string& outputPath);

}  // namespace korvant::platform
