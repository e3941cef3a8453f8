#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/linux/terminal_drawing.h"
#include "platform/linux/terminal_mode.h"
#include "platform/user_interface.h"

namespace korvant::platform {

// The program's user interface in a terminal.
//
// When standard input is a terminal, the progress window is drawn with ANSI sequences (caption,
// message text, the bar in its fill colour as 24-bit colour, filling from the right while
// mirrored) and drawn again in place after each change; the dialogs and message boxes appear below
// it and read key presses. Keys typed while nothing asks for them are dropped, as a busy window
// takes no input, and the terminal gets its settings back on every exit, Ctrl-C included.
//
// When standard input is not a terminal, everything is written as plain UTF-8 lines and the answers
// are read from standard input, one line each, so that a script can drive the program:
//
//   [window] <caption>                         the progress window opened
//   [message] <line>                           the message text after each change: its first line,
//   [message+] <line>                          then one such line for every further line
//   [progress] <position>/<range> colour <#RRGGBB|default>[ mirrored]
//                                              after a change of range, colour or mirroring, and
//                                              when the position moves to another whole percent
//   [close] Druk op Enter om het venster te sluiten.
//                                              the window waits: any line or end of input closes it
//   [closed]                                   the window's event loop ended
//   [credentials] Gebruikersnaam:              reads the user name line
//   [credentials] Wachtwoord:                  reads the password line (never written back)
//   [credentials] ok|cancel                    end of input at either line cancels
//   [messagebox] <caption>
//   [messagebox] | <line>                      one for each line of the text ("|" breaks lines)
//   [messagebox] <none|hand|question|exclamation|asterisk> <ok|yes/no> default <ok|yes|no>
//                                              reads the answer: "y", "yes", "j", "ja", "n", "no",
//                                              "nee"; an empty line or end of input takes the
//                                              default; anything else is asked again
//   [answer] ok|yes|no
//   [open-file] <title> | <filter> | <folder>  reads a path (Windows form; relative to <folder>)
//   [open-file] folder: <path>                 a folder was given: the dialog moves into it
//   [open-file] not found: <path>              and reads the next line
//   [chosen] <path>|cancelled                  an empty line or end of input cancels
//
// Texts arrive as Windows-1252 and are shown in UTF-8; control characters in them are shown as
// blanks. Typed input goes back to the program as Windows-1252.
class TerminalUserInterface : public UserInterface {
 public:
  explicit TerminalUserInterface(int inputFd = 0, int outputFd = 1);
  ~TerminalUserInterface() override;
  TerminalUserInterface(const TerminalUserInterface&) = delete;
  TerminalUserInterface& operator=(const TerminalUserInterface&) = delete;

  // ProgressWindow
  void SetMessage(std::string_view text) override;
  std::string Message() const override { return view_.message; }
  void SetProgressRange(int upper) override;
  int ProgressRange() const override { return view_.range; }
  void SetProgressPosition(int position) override;
  void SetProgressBarColour(std::uint32_t colour) override;
  void MirrorProgressBar(bool on) override;
  void PostCloseDown() override { closeDownPosted_ = true; }

  // UserInterface
  bool OpenProgressWindow(std::string_view caption) override;
  void RunProgressWindow(const std::function<void()>& opened) override;
  void DestroyProgressWindow() override;
  WindowPlacement Placement(WindowId window) const override;
  void RestorePlacement(WindowId window, const SavedPlacement& saved) override;
  CredentialsEntry RunCredentialsDialog(const SavedPlacement& saved) override;
  MessageButton ShowMessageBox(const MessageBoxRequest& request) override;
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;

 private:
  bool Interactive() const { return inputIsTerminal_; }
  void Write(std::string_view utf8) const;
  // The window after a change: drawn again in place, or its plain lines.
  void ShowWindow();
  void ShowMessageLines();
  void ShowProgressLine(bool always);
  // Key-at-a-time input while the window or a dialog is up.
  TerminalMode& Keys();
  // A dialog takes the screen below the window; afterwards the window is drawn anew beneath it.
  void BeginDialog();
  void EndDialog();
  void WaitForClose();

  CredentialsEntry TypeCredentials();
  CredentialsEntry ReadCredentials();
  MessageButton PressMessageButton(const MessageBoxRequest& request, MessageButton fallback);
  MessageButton ReadMessageButton(const MessageBoxRequest& request, MessageButton fallback);
  std::optional<std::string> TypeFilePath(const OpenFileRequest& request);
  std::optional<std::string> ReadFilePath(const OpenFileRequest& request);

  WindowPlacement& Slot(WindowId window);

  int input_;
  int output_;
  bool inputIsTerminal_;
  bool drawInPlace_;
  std::optional<TerminalMode> keyMode_;

  ProgressWindowView view_;
  bool windowOpen_ = false;
  bool closeDownPosted_ = false;
  int drawnRows_ = 0;
  std::string lastDrawing_;
  std::string lastProgressLine_;
  int lastPercent_ = -1;

  WindowPlacement progressPlacement_{false, false, 0, 0, 260, 90, true};
  WindowPlacement credentialsPlacement_{false, false, 0, 0, 200, 75, false};
};

}  // namespace korvant::platform
