#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvant::platform {

// Writes everything, retrying after interruptions; output that cannot be written is dropped, as a
// window that cannot be painted shows nothing.
void WriteAll(int fd, std::string_view text);

// One line from a script, without its line end ("\n" or "\r\n"); nothing at end of input. Reads
// byte by byte so that nothing beyond the line is taken from the descriptor.
std::optional<std::string> ReadLine(int fd);

// The terminal's width in columns, 80 when it cannot be told.
int TerminalColumns(int fd);

}  // namespace korvant::platform
