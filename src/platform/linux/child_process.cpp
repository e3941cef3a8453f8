#include "platform/linux/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvant::platform {
namespace {

// A pipe whose both ends close on exec; closed on scope exit.
class ErrorPipe {
 public:
  ErrorPipe() { ok_ = ::pipe2(ends_, O_CLOEXEC) == 0; }
  ~ErrorPipe() {
    CloseRead();
    CloseWrite();
  }
  ErrorPipe(const ErrorPipe&) = delete;
  ErrorPipe& operator=(const ErrorPipe&) = delete;
  bool ok() const { return ok_; }
  int read_end() const { return ends_[0]; }
  int write_end() const { return ends_[1]; }
  void CloseRead() { Close(ends_[0]); }
  void CloseWrite() { Close(ends_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int ends_[2] = {-1, -1};
  bool ok_ = false;
};

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Runs in the child: set up the standard streams, then exec. Reports errno through the pipe.
[[noreturn]] void ExecChild(char* const* argv, int errorFd, const char* outputPath) {
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
  ::signal(SIGPIPE, SIG_DFL);
  const int input = ::open("/dev/null", O_RDONLY);
  const int output =
      ::open(*outputPath != '\0' ? outputPath : "/dev/null", O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (input >= 0) ::dup2(input, STDIN_FILENO);
  if (output >= 0) {
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
  }
  ::execv(argv[0], argv);
  const int error = errno;
  [[maybe_unused]] auto written = ::write(errorFd, &error, sizeof error);
  ::_exit(127);
}

}  // namespace

SpawnResult SpawnProgram(const std::vector<std::string>& args, bool wait,
                         const std::string& outputPath) {
  SpawnResult result;
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  ErrorPipe errors;
  if (!errors.ok()) {
    result.error = errno;
    return result;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    result.error = errno;
    return result;
  }
  if (child == 0) {
    if (wait) ExecChild(argv.data(), errors.write_end(), outputPath.c_str());
    // Not waited for: the grandchild runs on, adopted by init once this intermediate ends.
    const pid_t grandchild = ::fork();
    if (grandchild < 0) {
      const int error = errno;
      [[maybe_unused]] auto written = ::write(errors.write_end(), &error, sizeof error);
      ::_exit(127);
    }
    if (grandchild == 0) ExecChild(argv.data(), errors.write_end(), outputPath.c_str());
    ::_exit(0);
  }
  errors.CloseWrite();

  int error = 0;
  ssize_t got;
  do {
    got = ::read(errors.read_end(), &error, sizeof error);
  } while (got < 0 && errno == EINTR);

  const int code = WaitFor(child);
  if (got == static_cast<ssize_t>(sizeof error)) {
    result.error = error;
    return result;
  }
  result.started = true;
  result.exitCode = wait ? code : 0;
  return result;
}

}  // namespace korvant::platform
