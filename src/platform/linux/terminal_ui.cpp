#include "platform/linux/terminal_ui.h"

#include <unistd.h>

#include <algorithm>

#include "platform/linux/terminal_io.h"
#include "platform/linux/terminal_keys.h"

namespace korvant::platform {
namespace {

// The progress window cannot be made smaller than it was designed.
constexpr int kProgressMinimumWidth = 260;
constexpr int kProgressMinimumHeight = 90;

}  // namespace

TerminalUserInterface::TerminalUserInterface(int inputFd, int outputFd)
    : input_(inputFd),
      output_(outputFd),
      inputIsTerminal_(::isatty(inputFd) == 1),
      drawInPlace_(inputIsTerminal_ && ::isatty(outputFd) == 1) {}

TerminalUserInterface::~TerminalUserInterface() {
  if (windowOpen_) DestroyProgressWindow();
}

void TerminalUserInterface::Write(std::string_view utf8) const {
  WriteAll(output_, utf8);
}

TerminalMode& TerminalUserInterface::Keys() {
  if (!keyMode_) keyMode_.emplace(input_);
  return *keyMode_;
}

void TerminalUserInterface::SetMessage(std::string_view text) {
  view_.message = std::string(text);
  if (!windowOpen_) return;
  if (drawInPlace_) {
    ShowWindow();
  } else {
    ShowMessageLines();
  }
}

void TerminalUserInterface::SetProgressRange(int upper) {
  view_.range = upper;
  // As the bar does: the position never lies outside the range.
  view_.position = std::clamp(view_.position, 0, std::max(upper, 0));
  ShowProgressLine(true);
}

void TerminalUserInterface::SetProgressPosition(int position) {
  view_.position = std::clamp(position, 0, std::max(view_.range, 0));
  ShowProgressLine(false);
}

void TerminalUserInterface::SetProgressBarColour(std::uint32_t colour) {
  view_.colour = colour & 0xFFFFFF;
  ShowProgressLine(true);
}

void TerminalUserInterface::MirrorProgressBar(bool on) {
  view_.mirrored = on;
  ShowProgressLine(true);
}

void TerminalUserInterface::ShowMessageLines() {
  Write(PlainMessageLines(view_));
}

void TerminalUserInterface::ShowProgressLine(bool always) {
  if (!windowOpen_) return;
  if (drawInPlace_) {
    ShowWindow();
    return;
  }
  // Transfer loops move the position in small steps; a script needs only whole percents of them.
  const int percent =
      view_.range > 0 ? static_cast<int>(static_cast<long long>(view_.position) * 100 / view_.range)
                      : 0;
  const std::string line = PlainProgressLine(view_);
  if (line == lastProgressLine_ || (!always && percent == lastPercent_)) return;
  lastPercent_ = percent;
  lastProgressLine_ = line;
  Write(line);
}

void TerminalUserInterface::ShowWindow() {
  if (!windowOpen_ || !drawInPlace_) return;
  int rows = 0;
  const std::string drawing = DrawProgressWindow(view_, TerminalColumns(output_), rows);
  if (drawnRows_ > 0 && drawing == lastDrawing_) return;
  std::string update;
  if (drawnRows_ > 0) update = "\r\x1b[" + std::to_string(drawnRows_) + "A\x1b[J";
  update += drawing;
  Write(update);
  drawnRows_ = rows;
  lastDrawing_ = drawing;
}

bool TerminalUserInterface::OpenProgressWindow(std::string_view caption) {
  view_ = ProgressWindowView{};
  view_.caption = std::string(caption);
  windowOpen_ = true;
  closeDownPosted_ = false;
  drawnRows_ = 0;
  lastDrawing_.clear();
  lastProgressLine_.clear();
  lastPercent_ = -1;
  if (Interactive()) Keys();
  if (drawInPlace_) {
    ShowWindow();
  } else {
    Write("[window] " + DisplayText(caption) + "\n");
  }
  return true;
}

void TerminalUserInterface::RunProgressWindow(const std::function<void()>& opened) {
  if (opened) opened();
  if (windowOpen_ && !closeDownPosted_) WaitForClose();
  if (!drawInPlace_) Write("[closed]\n");
}

void TerminalUserInterface::WaitForClose() {
  // Keys pressed while the workflow ran must not close the window the moment it asks.
  if (Interactive()) Keys().DiscardTypedAhead();
  view_.waitingForClose = true;
  if (drawInPlace_) {
    ShowWindow();
  } else {
    Write("[close] " + std::string(kCloseHint) + "\n");
  }
  if (Interactive()) {
    KeyReader keys(input_);
    for (;;) {
      const KeyKind kind = keys.Next().kind;
      if (kind == KeyKind::kEnter || kind == KeyKind::kEndOfInput) break;
    }
  } else {
    ReadLine(input_);
  }
  view_.waitingForClose = false;
  ShowWindow();
}

void TerminalUserInterface::DestroyProgressWindow() {
  // The last drawing stays on the screen; what follows is written below it.
  windowOpen_ = false;
  drawnRows_ = 0;
  keyMode_.reset();
}

void TerminalUserInterface::BeginDialog() {
  if (Interactive()) Keys().DiscardTypedAhead();
  if (drawInPlace_) Write("\n");
}

void TerminalUserInterface::EndDialog() {
  // The dialog's lines stay on the screen as a record of the answer; the window follows them.
  drawnRows_ = 0;
  lastDrawing_.clear();
  if (drawInPlace_ && windowOpen_) {
    Write("\n");
    ShowWindow();
  }
  if (!windowOpen_) keyMode_.reset();
}

WindowPlacement& TerminalUserInterface::Slot(WindowId window) {
  return window == WindowId::kProgress ? progressPlacement_ : credentialsPlacement_;
}

WindowPlacement TerminalUserInterface::Placement(WindowId window) const {
  return window == WindowId::kProgress ? progressPlacement_ : credentialsPlacement_;
}

void TerminalUserInterface::RestorePlacement(WindowId window, const SavedPlacement& saved) {
  // A terminal has no window to move; the values are kept so that they are saved again unchanged.
  WindowPlacement& placement = Slot(window);
  if (saved.x) placement.x = *saved.x;
  if (saved.y) placement.y = *saved.y;
  if (placement.resizable) {
    const bool progress = window == WindowId::kProgress;
    if (saved.width)
      placement.width = progress ? std::max(*saved.width, kProgressMinimumWidth) : *saved.width;
    if (saved.height) {
      placement.height = progress ? std::max(*saved.height, kProgressMinimumHeight) : *saved.height;
    }
  }
  if (saved.maximize) placement.maximized = *saved.maximize;
  if (saved.minimize) placement.minimized = *saved.minimize;
}

}  // namespace korvant::platform
