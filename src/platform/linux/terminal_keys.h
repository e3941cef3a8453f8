#pragma once

#include <cstddef>
#include <string>

namespace korvant::platform {

enum class KeyKind { kCharacter, kEnter, kTab, kBackspace, kEscape, kEndOfInput, kIgnored };

struct Key {
  KeyKind kind = KeyKind::kIgnored;
  std::string character;  // one UTF-8 character, for kCharacter
};

// Reads key presses from a terminal in key-at-a-time mode. The sequences that cursor and function
// keys send begin with the Escape byte; they are read whole and ignored, so that only a lone Escape
// counts as the Escape key.
class KeyReader {
 public:
  explicit KeyReader(int fd) : fd_(fd) {}
  Key Next();

 private:
  // False at end of input, or when `timeoutMs` (>= 0) passed without a byte.
  bool ReadByte(unsigned char& byte, int timeoutMs);
  int fd_;
};

enum class LineEnd { kEnter, kTab, kEscape, kEndOfInput };

struct LineOptions {
  bool echo = true;
  std::size_t maxCharacters = 255;
  bool tabEnds = false;  // Tab moves to the next field; otherwise it is ignored
};

struct EditedLine {
  LineEnd end = LineEnd::kEndOfInput;
  std::string text;  // UTF-8
};

// A one-line entry field: typed characters are appended (echoed or not), Backspace removes the
// last character, and Enter, Escape or end of input (Ctrl-D) end the entry. Only characters that
// Windows-1252 can hold are taken, up to `maxCharacters` of them; anything else rings the bell.
EditedLine EditLine(KeyReader& keys, int outputFd, const LineOptions& options,
                    std::string initial = {});

}  // namespace korvant::platform
