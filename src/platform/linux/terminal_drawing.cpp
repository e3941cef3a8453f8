#include "platform/linux/terminal_drawing.h"

#include <algorithm>
#include <cstdio>

#include "shared/windows1252.h"

namespace korvant::platform {
namespace {

// Windows draws a bar without a colour of its own in the system's green.
constexpr std::uint32_t kSystemBarColour = 0x25B006;
constexpr int kWidestWindow = 80;
constexpr int kNarrowestWindow = 24;

// C0 and C1 controls and DEL; in Windows-1252 the five undefined bytes stand for C1 controls.
bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
         byte == 0x90 || byte == 0x9D;
}

std::string Harmless(std::string_view windows1252) {
  std::string safe(windows1252);
  for (char& c : safe) {
    if (IsControl(static_cast<unsigned char>(c))) c = ' ';
  }
  return safe;
}

std::vector<std::string> SplitLines(std::string_view text, char lineBreak) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == lineBreak || c == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  lines.push_back(current);
  return lines;
}

// Breaks a Windows-1252 line (one column per byte) into pieces of at most `width` columns, at a
// blank where there is one.
std::vector<std::string> Wrap(const std::string& line, std::size_t width) {
  std::vector<std::string> pieces;
  std::string_view rest = line;
  while (rest.size() > width) {
    std::size_t cut = rest.rfind(' ', width);
    if (cut == std::string_view::npos || cut == 0) cut = width;
    pieces.emplace_back(rest.substr(0, cut));
    rest.remove_prefix(cut);
    if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  }
  pieces.emplace_back(rest);
  return pieces;
}

std::string Background(std::uint32_t colour) {
  char sequence[32];
  std::snprintf(sequence, sizeof sequence, "\x1b[48;2;%u;%u;%um", colour & 0xFF,
                (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return sequence;
}

}  // namespace

std::vector<std::string> DisplayLines(std::string_view windows1252Text, char lineBreak) {
  std::vector<std::string> lines = SplitLines(windows1252Text, lineBreak);
  for (std::string& line : lines) line = Windows1252ToUtf8(Harmless(line));
  return lines;
}

std::string DisplayText(std::string_view windows1252Text) {
  return Windows1252ToUtf8(Harmless(windows1252Text));
}

int FilledCells(int position, int range, int width) {
  if (range <= 0 || width <= 0) return 0;
  const long long clamped = std::clamp(position, 0, range);
  return static_cast<int>((clamped * width + range / 2) / range);
}

std::string RgbText(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return text;
}

std::string DrawProgressWindow(const ProgressWindowView& view, int columns, int& rows) {
  const int width = std::clamp(columns, kNarrowestWindow, kWidestWindow);
  const std::size_t textWidth = static_cast<std::size_t>(width - 2);
  std::string drawing;
  rows = 0;

  std::string caption = " " + Harmless(view.caption);
  caption.resize(static_cast<std::size_t>(width) - 1, ' ');
  drawing += "\x1b[7m" + Windows1252ToUtf8(caption) + "\x1b[0m\n";
  ++rows;

  for (const std::string& line : SplitLines(view.message, '\n')) {
    for (const std::string& piece : Wrap(Harmless(line), textWidth)) {
      drawing += " " + Windows1252ToUtf8(piece) + "\n";
      ++rows;
    }
  }

  const int barWidth = width - 4;
  const int filled = FilledCells(view.position, view.range, barWidth);
  const std::string empty(static_cast<std::size_t>(barWidth - filled), ' ');
  std::string fill;
  if (filled > 0) {
    fill = Background(view.colour.value_or(kSystemBarColour)) +
           std::string(static_cast<std::size_t>(filled), ' ') + "\x1b[0m";
  }
  drawing += " [" + (view.mirrored ? empty + fill : fill + empty) + "]\n";
  ++rows;

  if (view.waitingForClose) {
    drawing += " \x1b[2m" + std::string(kCloseHint) + "\x1b[0m\n";
    ++rows;
  }
  return drawing;
}

std::string PlainMessageLines(const ProgressWindowView& view) {
  std::string lines;
  bool first = true;
  for (const std::string& line : DisplayLines(view.message)) {
    lines += first ? "[message]" : "[message+]";
    if (!line.empty()) lines += " " + line;
    lines += "\n";
    first = false;
  }
  return lines;
}

std::string PlainProgressLine(const ProgressWindowView& view) {
  std::string line = "[progress] " + std::to_string(view.position) + "/" +
                     std::to_string(view.range) + " colour " +
                     (view.colour ? RgbText(*view.colour) : std::string("default"));
  if (view.mirrored) line += " mirrored";
  return line + "\n";
}

}  // namespace korvant::platform
