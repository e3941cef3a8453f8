#include "support/program_under_test.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace korvant::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> ArgumentVector(const std::string& program,
                                  const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

ProgramEnd EndOf(int status) {
  ProgramEnd end;
  if (WIFEXITED(status)) {
    end.exited = true;
    end.code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    end.signal = WTERMSIG(status);
  }
  return end;
}

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void KillAndReap(pid_t pid) {
  ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// In the session leader on the terminal: starts the program as the foreground job, waits for its
// end and ends the same way. Only async-signal-safe calls: this runs between fork and exec.
[[noreturn]] void RunAsJob(const std::string& program, std::vector<char*>& argv) {
  int ready[2];
  if (::pipe(ready) != 0) ::_exit(127);
  const pid_t job = ::fork();
  if (job == 0) {
    ::close(ready[1]);
    char go = 0;
    ::setpgid(0, 0);
    // Wait until the job owns the terminal, or its first settings change would stop it.
    if (::read(ready[0], &go, 1) != 1) ::_exit(127);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::setpgid(job, job);
  ::signal(SIGTTOU, SIG_IGN);
  ::tcsetpgrp(STDIN_FILENO, job);
  ::write(ready[1], "g", 1);
  int status = 0;
  while (::waitpid(job, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    ::signal(WTERMSIG(status), SIG_DFL);
    ::kill(::getpid(), WTERMSIG(status));
  }
  ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

}  // namespace

TerminalProgram::TerminalProgram(const std::string& program,
                                 const std::vector<std::string>& arguments, Start start) {
  std::vector<char*> argv = ArgumentVector(program, arguments);
  struct winsize size {};
  size.ws_row = 24;
  size.ws_col = 80;
  pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
  if (pid_ < 0) throw std::runtime_error("forkpty failed");
  if (pid_ == 0) {
    if (start == Start::kJob) RunAsJob(program, argv);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
}

TerminalProgram::~TerminalProgram() {
  if (!end_) KillAndReap(pid_);
  ::close(master_);
}

bool TerminalProgram::ReadSome(std::chrono::milliseconds timeout) {
  struct pollfd readable {
    master_, POLLIN, 0
  };
  const int ready = ::poll(&readable, 1, static_cast<int>(timeout.count()));
  if (ready <= 0) return ready == 0 || errno == EINTR;
  char buffer[4096];
  const ssize_t got = ::read(master_, buffer, sizeof buffer);
  if (got < 0 && errno == EINTR) return true;
  if (got <= 0) return false;  // EIO: the program's side is closed
  output_.append(buffer, static_cast<std::size_t>(got));
  return true;
}

bool TerminalProgram::WaitFor(std::string_view text, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const std::size_t found = output_.find(text, searchFrom_);
    if (found != std::string::npos) {
      searchFrom_ = found + text.size();
      return true;
    }
    const int left = RemainingMs(deadline);
    if (left == 0 || !ReadSome(std::chrono::milliseconds(left))) return false;
  }
}

void TerminalProgram::Type(std::string_view keys) {
  while (!keys.empty()) {
    const ssize_t written = ::write(master_, keys.data(), keys.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    keys.remove_prefix(static_cast<std::size_t>(written));
  }
}

void TerminalProgram::ContinueForegroundJob() const {
  const pid_t group = ::tcgetpgrp(master_);
  if (group > 0) ::kill(-group, SIGCONT);
}

std::optional<ProgramEnd> TerminalProgram::WaitForEnd(std::chrono::milliseconds timeout) {
  if (end_) return end_;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    // Keep reading, so that a program blocked on a full terminal can go on.
    const bool open = ReadSome(std::chrono::milliseconds(std::min(RemainingMs(deadline), 20)));
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      end_ = EndOf(status);
      while (ReadSome(20ms) && RemainingMs(deadline) > 0) {
      }
      return end_;
    }
    if (RemainingMs(deadline) == 0) return std::nullopt;
    if (!open) ::usleep(5000);
  }
}

bool TerminalProgram::Echoing() const {
  struct termios settings {};
  return ::tcgetattr(master_, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
}

bool TerminalProgram::LineAtATime() const {
  struct termios settings {};
  return ::tcgetattr(master_, &settings) == 0 && (settings.c_lflag & ICANON) != 0;
}

PipedRun RunThroughPipes(const std::string& program, const std::vector<std::string>& arguments,
                         std::string_view input, std::chrono::milliseconds timeout) {
  int toProgram[2];
  int fromProgram[2];
  if (::pipe2(toProgram, O_CLOEXEC) != 0 || ::pipe2(fromProgram, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  std::vector<char*> argv = ArgumentVector(program, arguments);
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(toProgram[0], STDIN_FILENO);
    ::dup2(fromProgram[1], STDOUT_FILENO);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(toProgram[0]);
  ::close(fromProgram[1]);

  // The scripts are small enough for the pipe's buffer; the program reads them as it goes.
  ::signal(SIGPIPE, SIG_IGN);
  std::string_view rest = input;
  while (!rest.empty()) {
    const ssize_t written = ::write(toProgram[1], rest.data(), rest.size());
    if (written <= 0) break;
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  ::close(toProgram[1]);

  PipedRun run;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    struct pollfd readable {
      fromProgram[0], POLLIN, 0
    };
    const int left = RemainingMs(deadline);
    if (left == 0 || ::poll(&readable, 1, left) <= 0) break;
    char buffer[4096];
    const ssize_t got = ::read(fromProgram[0], buffer, sizeof buffer);
    if (got <= 0) break;
    run.output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fromProgram[0]);

  int status = 0;
  for (;;) {
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      run.end = EndOf(status);
      break;
    }
    if (RemainingMs(deadline) == 0) {
      KillAndReap(pid);
      break;
    }
    ::usleep(5000);
  }
  return run;
}

}  // namespace korvant::testing
