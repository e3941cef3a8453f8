#include "platform/linux/command_line.h"

namespace korvant::platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;

  // The program name: no escapes, a quote only groups.
  std::string program;
  if (i < line.size() && line[i] == '"') {
    ++i;
    while (i < line.size() && line[i] != '"') program += line[i++];
    if (i < line.size()) ++i;
  } else {
    while (i < line.size() && !IsBlank(line[i])) program += line[i++];
  }
  words.push_back(program);

  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      if (line[i] == '\\') {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') {
          ++backslashes;
          ++i;
        }
        if (i < line.size() && line[i] == '"') {
          word.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            word += '"';
            ++i;
          }
        } else {
          word.append(backslashes, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          word += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        word += line[i++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace korvant::platform
