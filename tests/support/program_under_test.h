#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::testing {

using namespace std::chrono_literals;

// How a program ended: its exit code, or the signal that ended it.
struct ProgramEnd {
  bool exited = false;
  int code = -1;
  int signal = 0;
};

// A program running on the slave side of a pseudo-terminal (80 columns), as if started in a
// terminal window. The test reads everything it writes and types keys at it. A program still
// running when the object goes is killed; no wait outlasts its timeout.
class TerminalProgram {
 public:
  // kJob starts it the way a shell with job control does: in a process group of its own, in the
  // foreground, below a parent in the same session, so that Ctrl-Z really stops it.
  enum class Start { kSessionLeader, kJob };
  TerminalProgram(const std::string& program, const std::vector<std::string>& arguments,
                  Start start = Start::kSessionLeader);
  ~TerminalProgram();
  TerminalProgram(const TerminalProgram&) = delete;
  TerminalProgram& operator=(const TerminalProgram&) = delete;

  // Reads until `text` appears after the previous match; false on timeout or end of output.
  bool WaitFor(std::string_view text, std::chrono::milliseconds timeout = 5s);
  void Type(std::string_view keys);
  // Continues the stopped foreground job.
  void ContinueForegroundJob() const;
  // Nothing when the program has not ended within the timeout.
  std::optional<ProgramEnd> WaitForEnd(std::chrono::milliseconds timeout = 5s);
  // Everything written so far, line ends as the terminal sends them ("\r\n").
  const std::string& Output() const { return output_; }
  // The terminal's settings now: whether it echoes typed keys and collects whole lines.
  bool Echoing() const;
  bool LineAtATime() const;

 private:
  // Reads what is available within `timeout`; false at end of output.
  bool ReadSome(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int master_ = -1;
  std::string output_;
  std::size_t searchFrom_ = 0;
  std::optional<ProgramEnd> end_;
};

struct PipedRun {
  std::string output;
  std::optional<ProgramEnd> end;  // nothing when the program had to be killed
};

// Runs a program with `input` as its standard input and reads its standard output, both pipes.
PipedRun RunThroughPipes(const std::string& program, const std::vector<std::string>& arguments,
                         std::string_view input, std::chrono::milliseconds timeout = 10s);

}  // namespace korvant::testing
