#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::platform {

// What the progress window shows. Texts are Windows-1252.
struct ProgressWindowView {
  std::string caption;
  std::string message;
  int range = 100;
  int position = 0;
  std::optional<std::uint32_t> colour;  // 0x00BBGGRR; none: the system's own bar colour
  bool mirrored = false;
  bool waitingForClose = false;
};

// The text's lines (CR LF separated) in UTF-8, with control characters made harmless: a text
// must never be able to send the terminal an escape sequence of its own.
std::vector<std::string> DisplayLines(std::string_view windows1252Text, char lineBreak = '\n');
// One line for display: line breaks included, every control character is shown as a blank.
std::string DisplayText(std::string_view windows1252Text);

// The share of `width` cells that position/range fills.
int FilledCells(int position, int range, int width);

// "#RRGGBB" of a Windows colour 0x00BBGGRR.
std::string RgbText(std::uint32_t colour);

// The window drawn with ANSI sequences into `columns` columns, each line ending in "\n". `rows`
// receives the number of lines, so that the next drawing can go over this one.
std::string DrawProgressWindow(const ProgressWindowView& view, int columns, int& rows);

// The plain-line forms (see terminal_ui.h), each ending in "\n".
std::string PlainMessageLines(const ProgressWindowView& view);
std::string PlainProgressLine(const ProgressWindowView& view);

inline constexpr std::string_view kCloseHint = "Druk op Enter om het venster te sluiten.";

}  // namespace korvant::platform
