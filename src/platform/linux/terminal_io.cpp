#include "platform/linux/terminal_io.h"

#include <errno.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace korvant::platform {

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::optional<std::string> ReadLine(int fd) {
  std::string line;
  bool any = false;
  for (;;) {
    char byte = 0;
    const ssize_t got = ::read(fd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    any = true;
    if (byte == '\n') break;
    line += byte;
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int TerminalColumns(int fd) {
  struct winsize size {};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace korvant::platform
