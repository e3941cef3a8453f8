#include "platform/recording/recording_ui.h"

#include <cstdio>
#include <utility>

#include "platform/user_interface_names.h"

namespace korvant::platform {
namespace {

std::string EndName(DialogEnd end) {
  switch (end) {
    case DialogEnd::kOk:
      return "ok";
    case DialogEnd::kCancel:
      return "cancel";
    case DialogEnd::kClosed:
      return "closed";
  }
  return "?";
}

std::string WindowName(WindowId window) {
  return window == WindowId::kProgress ? "progress" : "credentials";
}

// The 0x00BBGGRR value as the familiar RRGGBB.
std::string ColourName(std::uint32_t colour) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return text;
}

void Apply(WindowPlacement& placement, const SavedPlacement& saved) {
  if (saved.maximize == false && placement.maximized) placement.maximized = false;
  if (saved.x) placement.x = *saved.x;
  if (saved.y) placement.y = *saved.y;
  if (placement.resizable) {
    if (saved.width) placement.width = *saved.width;
    if (saved.height) placement.height = *saved.height;
  }
  if (saved.maximize == true && !placement.maximized) placement.maximized = true;
  if (saved.minimize) placement.minimized = *saved.minimize;
}

}  // namespace

void RecordingUserInterface::AnswerCredentials(DialogEnd end, std::string userName,
                                               std::string password) {
  credentialsAnswers_.push_back({end, std::move(userName), std::move(password)});
}

void RecordingUserInterface::SetPlacementAtClose(WindowId window,
                                                 const WindowPlacement& placement) {
  (window == WindowId::kProgress ? progressAtClose_ : credentialsAtClose_) = placement;
}

WindowPlacement& RecordingUserInterface::Slot(WindowId window) {
  return window == WindowId::kProgress ? progressPlacement_ : credentialsPlacement_;
}

const WindowPlacement& RecordingUserInterface::Slot(WindowId window) const {
  return window == WindowId::kProgress ? progressPlacement_ : credentialsPlacement_;
}

void RecordingUserInterface::SetMessage(std::string_view text) {
  message_ = text;
  messages_.push_back(message_);
  log_.push_back("message: " + message_);
  if (messageHook_) messageHook_(message_);
}

void RecordingUserInterface::SetProgressRange(int upper) {
  range_ = upper;
  log_.push_back("range: " + std::to_string(upper));
}

void RecordingUserInterface::SetProgressPosition(int position) {
  position_ = position;
  log_.push_back("position: " + std::to_string(position));
}

void RecordingUserInterface::SetProgressBarColour(std::uint32_t colour) {
  colour_ = colour;
  colours_.push_back(colour);
  log_.push_back("colour: " + ColourName(colour));
}

void RecordingUserInterface::MirrorProgressBar(bool on) {
  mirrored_ = on;
  log_.push_back(on ? "mirror: on" : "mirror: off");
}

void RecordingUserInterface::PostCloseDown() {
  closeDownPosted_ = true;
  log_.push_back("close-down");
}

bool RecordingUserInterface::OpenProgressWindow(std::string_view caption) {
  if (failOpening_) return false;
  open_ = true;
  range_ = 100;  // the window resource's range
  position_ = 0;
  log_.push_back("open: " + std::string(caption));
  return true;
}

void RecordingUserInterface::RunProgressWindow(const std::function<void()>& opened) {
  opened();
  // Without a close-down event the user closes the window; the test has said where it was left.
  if (progressAtClose_) progressPlacement_ = *progressAtClose_;
}

void RecordingUserInterface::DestroyProgressWindow() {
  open_ = false;
  log_.push_back("destroy");
}

WindowPlacement RecordingUserInterface::Placement(WindowId window) const {
  return Slot(window);
}

void RecordingUserInterface::RestorePlacement(WindowId window, const SavedPlacement& saved) {
  Apply(Slot(window), saved);
  log_.push_back("restore: " + WindowName(window));
}

CredentialsEntry RecordingUserInterface::RunCredentialsDialog(const SavedPlacement& saved) {
  log_.push_back("credentials");
  CredentialsEntry entry;
  entry.opened = true;
  RestorePlacement(WindowId::kCredentials, saved);
  if (!credentialsAnswers_.empty()) {
    entry.end = credentialsAnswers_.front().end;
    entry.userName = std::move(credentialsAnswers_.front().userName);
    entry.password = std::move(credentialsAnswers_.front().password);
    credentialsAnswers_.pop_front();
  }
  if (credentialsAtClose_) credentialsPlacement_ = *credentialsAtClose_;
  entry.placement = credentialsPlacement_;
  log_.push_back("credentials: " + EndName(entry.end));
  return entry;
}

MessageButton RecordingUserInterface::ShowMessageBox(const MessageBoxRequest& request) {
  messageBoxes_.push_back(request);
  log_.push_back("messagebox: " + request.caption + " | " + request.text +
                 " | icon=" + std::string(IconName(request.icon)) +
                 " buttons=" + (request.buttons == MessageButtons::kOk ? "ok" : "yesno") +
                 " default=" + std::string(ButtonName(request.defaultButton)) +
                 " modal=" + (request.systemModal ? "1" : "0"));
  MessageButton answer = request.defaultButton;
  if (!messageBoxAnswers_.empty()) {
    answer = messageBoxAnswers_.front();
    messageBoxAnswers_.pop_front();
  }
  log_.push_back("answer: " + std::string(ButtonName(answer)));
  return answer;
}

std::optional<std::string> RecordingUserInterface::AskOpenFile(const OpenFileRequest& request) {
  openFileRequests_.push_back(request);
  log_.push_back("open-file: " + request.title + " | " + request.filter + " | " +
                 request.initialName);
  std::optional<std::string> answer;
  if (!openFileAnswers_.empty()) {
    answer = openFileAnswers_.front();
    openFileAnswers_.pop_front();
  }
  log_.push_back(answer ? "chosen: " + *answer : "chosen: cancelled");
  return answer;
}

}  // namespace korvant::platform
