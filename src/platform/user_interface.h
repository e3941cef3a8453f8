#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korvant::platform {

// The operations the workflow performs on the open progress window. Texts are Windows-1252;
// lines of the message text are separated by CR LF.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;

  virtual void SetMessage(std::string_view text) = 0;
  virtual std::string Message() const = 0;
  virtual void SetProgressRange(int upper) = 0;  // the lower bound stays 0
  virtual int ProgressRange() const = 0;
  virtual void SetProgressPosition(int position) = 0;
  // A Windows colour 0x00BBGGRR; it stays until changed.
  virtual void SetProgressBarColour(std::uint32_t colour) = 0;
  // On: the bar fills from the right edge.
  virtual void MirrorProgressBar(bool on) = 0;
  // Closes every window and ends the program once the running workflow returns to the event loop.
  virtual void PostCloseDown() = 0;

  // The current text followed by `text`; the current text keeps its trailing blanks.
  void AppendMessage(std::string_view text) { SetMessage(Message() + std::string(text)); }
  // The whole bar shows its fill colour.
  void FillProgressBar() {
    SetProgressRange(1);
    SetProgressPosition(ProgressRange());
  }
};

enum class WindowId { kProgress, kCredentials };

// Where a window is and how: what the INI file remembers per window.
struct WindowPlacement {
  bool maximized = false;
  bool minimized = false;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool resizable = true;
};

// The values an INI section held; a missing key restores nothing of its own.
struct SavedPlacement {
  std::optional<bool> maximize;
  std::optional<bool> minimize;
  std::optional<int> x;
  std::optional<int> y;
  std::optional<int> width;
  std::optional<int> height;
};

enum class MessageIcon { kNone, kHand, kQuestion, kExclamation, kAsterisk };
enum class MessageButtons { kOk, kYesNo };
enum class MessageButton { kOk, kYes, kNo, kCancel };

struct MessageBoxRequest {
  std::string text;  // a "|" starts a new line
  std::string caption;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
  MessageButton defaultButton = MessageButton::kOk;
  bool systemModal = false;
};

struct OpenFileRequest {
  std::string title;
  std::string filter;       // "description|pattern" pairs
  std::string initialName;  // a folder name opens the dialog in that folder
};

enum class DialogEnd { kOk, kCancel, kClosed };

struct CredentialsEntry {
  bool opened = false;  // false when the dialog could not be opened at all
  DialogEnd end = DialogEnd::kClosed;
  std::string userName;  // as typed, Windows-1252
  std::string password;
  WindowPlacement placement;  // where the dialog was when it closed
};

// The whole user interface of the program: the progress window with its event loop, the
// credentials dialog, message boxes and the open-file dialog.
class UserInterface : public ProgressWindow {
 public:
  // Opens the progress window with its caption; false when the window cannot be opened.
  virtual bool OpenProgressWindow(std::string_view caption) = 0;
  // The window's event loop: `opened` runs once, on the first opened event. Returns when the
  // close-down event was handled or the user closed the window.
  virtual void RunProgressWindow(const std::function<void()>& opened) = 0;
  virtual void DestroyProgressWindow() = 0;

  virtual WindowPlacement Placement(WindowId window) const = 0;
  // Applies saved values in the platform's order: un-maximize, position, size (resizable windows
  // only), maximize, minimized state.
  virtual void RestorePlacement(WindowId window, const SavedPlacement& saved) = 0;

  // The modal credentials dialog, its placement restored from `saved` when it opens.
  virtual CredentialsEntry RunCredentialsDialog(const SavedPlacement& saved) = 0;

  virtual MessageButton ShowMessageBox(const MessageBoxRequest& request) = 0;

  // The chosen file's full path (Windows form), or nothing when cancelled. The chosen file and
  // its folder exist.
  virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;
};

}  // namespace korvant::platform
