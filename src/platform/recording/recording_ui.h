#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/user_interface.h"

namespace korvant::platform {

// The front end that tests drive the program with: it records every window operation and answers
// the dialogs and message boxes from a script that the test gives beforehand.
class RecordingUserInterface : public UserInterface {
 public:
  // Every operation, in order, as one readable line each:
  //   "message: <text>"        the whole message text after each change (set or append)
  //   "range: <n>"  "position: <n>"  "colour: 0x<RRGGBB hex, 6 digits>"  "mirror: on|off"
  //   "close-down"  "open: <caption>"  "restore: <window>"  "destroy"
  //   "messagebox: <caption> | <text> | icon=<name> buttons=<ok|yesno> default=<b> modal=<0|1>"
  //   "answer: <ok|yes|no|cancel>"
  //   "credentials"  "credentials: ok|cancel|closed"
  //   "open-file: <title> | <filter> | <initial name>"  "chosen: <path>|cancelled"
  const std::vector<std::string>& Log() const { return log_; }
  // The fill colours set, in order.
  const std::vector<std::uint32_t>& Colours() const { return colours_; }
  const std::vector<MessageBoxRequest>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<OpenFileRequest>& OpenFileRequests() const { return openFileRequests_; }
  // Every message text the window showed, in order.
  const std::vector<std::string>& Messages() const { return messages_; }

  std::uint32_t Colour() const { return colour_; }
  int Position() const { return position_; }
  bool Mirrored() const { return mirrored_; }
  bool CloseDownPosted() const { return closeDownPosted_; }
  bool WindowOpen() const { return open_; }

  // Script. Answers are used in order; without a queued answer a message box gets its default
  // button, the credentials dialog is closed, and the open-file dialog is cancelled.
  void AnswerMessageBox(MessageButton button) { messageBoxAnswers_.push_back(button); }
  void AnswerCredentials(DialogEnd end, std::string userName, std::string password);
  void AnswerOpenFile(std::optional<std::string> path) { openFileAnswers_.push_back(path); }
  // The progress window cannot be opened (the platform's init step fails).
  void FailWindowOpening() { failOpening_ = true; }
  // Runs after every change of the message text, so a test can act at a given step of a run.
  void OnMessage(std::function<void(const std::string& message)> hook) {
    messageHook_ = std::move(hook);
  }
  // Where the user leaves a window before closing it.
  void SetPlacementAtClose(WindowId window, const WindowPlacement& placement);
  // The placement a window had after the last restore.
  WindowPlacement RestoredPlacement(WindowId window) const { return Slot(window); }

  // ProgressWindow
  void SetMessage(std::string_view text) override;
  std::string Message() const override { return message_; }
  void SetProgressRange(int upper) override;
  int ProgressRange() const override { return range_; }
  void SetProgressPosition(int position) override;
  void SetProgressBarColour(std::uint32_t colour) override;
  void MirrorProgressBar(bool on) override;
  void PostCloseDown() override;

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
  struct CredentialsAnswer {
    DialogEnd end;
    std::string userName;
    std::string password;
  };
  WindowPlacement& Slot(WindowId window);
  const WindowPlacement& Slot(WindowId window) const;

  std::vector<std::string> log_;
  std::vector<std::uint32_t> colours_;
  std::vector<MessageBoxRequest> messageBoxes_;
  std::vector<OpenFileRequest> openFileRequests_;
  std::vector<std::string> messages_;
  std::deque<MessageButton> messageBoxAnswers_;
  std::deque<CredentialsAnswer> credentialsAnswers_;
  std::deque<std::optional<std::string>> openFileAnswers_;
  std::string message_;
  std::function<void(const std::string&)> messageHook_;
  int range_ = 100;
  int position_ = 0;
  std::uint32_t colour_ = 0;
  bool mirrored_ = false;
  bool closeDownPosted_ = false;
  bool open_ = false;
  bool failOpening_ = false;
  WindowPlacement progressPlacement_{false, false, 0, 0, 260, 90, true};
  WindowPlacement credentialsPlacement_{false, false, 0, 0, 200, 75, false};
  std::optional<WindowPlacement> progressAtClose_;
  std::optional<WindowPlacement> credentialsAtClose_;
};

}  // namespace korvant::platform
