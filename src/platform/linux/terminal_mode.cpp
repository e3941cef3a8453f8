#include "platform/linux/terminal_mode.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <array>

namespace korvant::platform {
namespace {

constexpr std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the signal handlers need; only one terminal is switched at a time.
volatile sig_atomic_t restoreFd = -1;
struct termios restoreSettings {};
struct termios keySettings {};
std::array<struct sigaction, kEndingSignals.size()> previousActions{};
struct sigaction previousSuspendAction {};
bool suspendHandled = false;

void RestoreAndReraise(int signal) {
  if (restoreFd >= 0) tcsetattr(restoreFd, TCSANOW, &restoreSettings);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    if (kEndingSignals[i] == signal) sigaction(signal, &previousActions[i], nullptr);
  }
  raise(signal);
}

// Ctrl-Z: the shell gets its settings while the program is stopped, and the program takes its
// own back when it goes on, so that a password typed after "fg" is still not shown.
void SuspendAndResume(int) {
  const int savedErrno = errno;
  if (restoreFd >= 0) tcsetattr(restoreFd, TCSANOW, &restoreSettings);
  struct sigaction self {};
  sigaction(SIGTSTP, &previousSuspendAction, &self);
  sigset_t suspend;
  sigemptyset(&suspend);
  sigaddset(&suspend, SIGTSTP);
  raise(SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &suspend, nullptr);  // the program stops here until continued
  sigprocmask(SIG_BLOCK, &suspend, nullptr);
  sigaction(SIGTSTP, &self, nullptr);
  if (restoreFd >= 0) tcsetattr(restoreFd, TCSANOW, &keySettings);
  errno = savedErrno;
}

// Signals the program ignores stay ignored.
bool Install(int signal, void (*handler)(int), struct sigaction& previous) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) return false;
  return sigaction(signal, &action, nullptr) == 0;
}

void UninstallHandlers() {
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    sigaction(kEndingSignals[i], &previousActions[i], nullptr);
  }
  if (suspendHandled) sigaction(SIGTSTP, &previousSuspendAction, nullptr);
  suspendHandled = false;
}

}  // namespace

TerminalMode::TerminalMode(int fd) : fd_(fd) {
  if (restoreFd >= 0 || !isatty(fd) || tcgetattr(fd, &saved_) != 0) return;
  keySettings = saved_;
  keySettings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL);
  keySettings.c_lflag |= ISIG;
  keySettings.c_cc[VMIN] = 1;
  keySettings.c_cc[VTIME] = 0;
  restoreSettings = saved_;
  restoreFd = fd;
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    Install(kEndingSignals[i], RestoreAndReraise, previousActions[i]);
  }
  suspendHandled = Install(SIGTSTP, SuspendAndResume, previousSuspendAction);

  active_ = tcsetattr(fd, TCSANOW, &keySettings) == 0;
  if (!active_) {
    UninstallHandlers();
    restoreFd = -1;
  }
}

TerminalMode::~TerminalMode() {
  if (!active_) return;
  tcsetattr(fd_, TCSANOW, &saved_);
  UninstallHandlers();
  restoreFd = -1;
}

void TerminalMode::DiscardTypedAhead() const {
  if (active_) tcflush(fd_, TCIFLUSH);
}

}  // namespace korvant::platform
