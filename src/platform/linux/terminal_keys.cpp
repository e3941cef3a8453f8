#include "platform/linux/terminal_keys.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include "platform/linux/terminal_io.h"
#include "shared/windows1252.h"

namespace korvant::platform {
namespace {

constexpr unsigned char kEndOfTransmission = 0x04;  // Ctrl-D
constexpr unsigned char kEscapeByte = 0x1B;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kBackspaceByte = 0x08;
// A lone Escape is told from the start of a key's sequence by the pause after it.
constexpr int kSequencePauseMs = 40;

int Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead < 0xE0) return 2;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xF0 && lead < 0xF5) return 4;
  return 0;
}

// A character the program's texts can hold: printable and present in Windows-1252.
bool Acceptable(const std::string& utf8) {
  const auto lead = static_cast<unsigned char>(utf8[0]);
  if (utf8.size() == 1) return lead >= 0x20 && lead != 0x7F;
  const bool c1Control = lead == 0xC2 && static_cast<unsigned char>(utf8[1]) < 0xA0;
  const std::string narrow = Utf8ToWindows1252(utf8);
  return !c1Control && narrow.size() == 1 && Windows1252ToUtf8(narrow) == utf8;
}

void RemoveLastCharacter(std::string& text) {
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.back());
    text.pop_back();
    if ((byte & 0xC0) != 0x80) return;
  }
}

std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

}  // namespace

bool KeyReader::ReadByte(unsigned char& byte, int timeoutMs) {
  for (;;) {
    if (timeoutMs >= 0) {
      struct pollfd waiting {
        fd_, POLLIN, 0
      };
      const int ready = ::poll(&waiting, 1, timeoutMs);
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) return false;
    }
    const ssize_t got = ::read(fd_, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    return got == 1;
  }
}

Key KeyReader::Next() {
  unsigned char byte = 0;
  if (!ReadByte(byte, -1)) return {KeyKind::kEndOfInput, {}};
  switch (byte) {
    case '\r':
    case '\n':
      return {KeyKind::kEnter, {}};
    case '\t':
      return {KeyKind::kTab, {}};
    case kDelete:
    case kBackspaceByte:
      return {KeyKind::kBackspace, {}};
    case kEndOfTransmission:
      return {KeyKind::kEndOfInput, {}};
    case kEscapeByte: {
      unsigned char next = 0;
      if (!ReadByte(next, kSequencePauseMs)) return {KeyKind::kEscape, {}};
      if (next == '[' || next == 'O') {
        // CSI and SS3 sequences end with a byte from '@' to '~'.
        unsigned char part = 0;
        while (ReadByte(part, kSequencePauseMs) && !(part >= 0x40 && part <= 0x7E)) {
        }
      }
      return {KeyKind::kIgnored, {}};
    }
    default:
      break;
  }
  const int length = Utf8Length(byte);
  if (length == 0) return {KeyKind::kIgnored, {}};
  std::string character(1, static_cast<char>(byte));
  for (int i = 1; i < length; ++i) {
    unsigned char part = 0;
    if (!ReadByte(part, kSequencePauseMs) || (part & 0xC0) != 0x80) return {KeyKind::kIgnored, {}};
    character += static_cast<char>(part);
  }
  if (length == 1 && byte < 0x20) return {KeyKind::kIgnored, {}};
  return {KeyKind::kCharacter, character};
}

EditedLine EditLine(KeyReader& keys, int outputFd, const LineOptions& options,
                    std::string initial) {
  EditedLine line{LineEnd::kEndOfInput, std::move(initial)};
  if (options.echo) WriteAll(outputFd, line.text);
  for (;;) {
    const Key key = keys.Next();
    switch (key.kind) {
      case KeyKind::kEnter:
        line.end = LineEnd::kEnter;
        return line;
      case KeyKind::kTab:
        if (options.tabEnds) {
          line.end = LineEnd::kTab;
          return line;
        }
        break;
      case KeyKind::kEscape:
        line.end = LineEnd::kEscape;
        return line;
      case KeyKind::kEndOfInput:
        line.end = LineEnd::kEndOfInput;
        return line;
      case KeyKind::kBackspace:
        if (line.text.empty()) {
          WriteAll(outputFd, "\a");
        } else {
          RemoveLastCharacter(line.text);
          if (options.echo) WriteAll(outputFd, "\b \b");
        }
        break;
      case KeyKind::kCharacter:
        if (!Acceptable(key.character) || CharacterCount(line.text) >= options.maxCharacters) {
          WriteAll(outputFd, "\a");
        } else {
          line.text += key.character;
          if (options.echo) WriteAll(outputFd, key.character);
        }
        break;
      case KeyKind::kIgnored:
        break;
    }
  }
}

}  // namespace korvant::platform
