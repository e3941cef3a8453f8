#include "platform/linux/terminal_mode.h"

#include <signal.h>
#include <unistd.h>

#include <array>

namespace korvant::platform {
namespace {

constexpr std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the signal handler needs; only one terminal is switched at a time.
volatile sig_atomic_t restoreFd = -1;
struct termios restoreSettings {};
std::array<struct sigaction, kEndingSignals.size()> previousActions{};

void RestoreAndReraise(int signal) {
  if (restoreFd >= 0) tcsetattr(restoreFd, TCSANOW, &restoreSettings);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    if (kEndingSignals[i] == signal) sigaction(signal, &previousActions[i], nullptr);
  }
  raise(signal);
}

}  // namespace

TerminalMode::TerminalMode(int fd) : fd_(fd) {
  if (restoreFd >= 0 || !isatty(fd) || tcgetattr(fd, &saved_) != 0) return;
  restoreSettings = saved_;
  restoreFd = fd;
  struct sigaction action {};
  action.sa_handler = RestoreAndReraise;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    sigaction(kEndingSignals[i], &action, &previousActions[i]);
  }

  struct termios keys = saved_;
  keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL);
  keys.c_lflag |= ISIG;
  keys.c_cc[VMIN] = 1;
  keys.c_cc[VTIME] = 0;
  active_ = tcsetattr(fd, TCSANOW, &keys) == 0;
  if (!active_) {
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
      sigaction(kEndingSignals[i], &previousActions[i], nullptr);
    }
    restoreFd = -1;
  }
}

TerminalMode::~TerminalMode() {
  if (!active_) return;
  tcsetattr(fd_, TCSANOW, &saved_);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    sigaction(kEndingSignals[i], &previousActions[i], nullptr);
  }
  restoreFd = -1;
}

void TerminalMode::DiscardTypedAhead() const {
  if (active_) tcflush(fd_, TCIFLUSH);
}

}  // namespace korvant::platform
