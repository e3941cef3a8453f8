#pragma once

#include <termios.h>

namespace korvant::platform {

// Puts a terminal into key-at-a-time mode without echo for as long as the object lives, and gives
// the terminal its saved settings back on every way out: destruction, and the signals that end the
// program (the handler restores the settings, then lets the signal do what it would have done).
// Ctrl-C keeps working: signal keys stay enabled.
class TerminalMode {
 public:
  explicit TerminalMode(int fd);
  ~TerminalMode();
  TerminalMode(const TerminalMode&) = delete;
  TerminalMode& operator=(const TerminalMode&) = delete;

  // False when the descriptor is not a terminal or its settings could not be changed.
  bool Active() const { return active_; }
  // Throws away keys typed before a dialog asked for them, so no stray Enter answers it.
  void DiscardTypedAhead() const;

 private:
  int fd_;
  bool active_ = false;
  struct termios saved_ {};
};

}  // namespace korvant::platform
