#include "platform/linux/ini_text.h"

#include <vector>

#include "shared/windows1252.h"

namespace korvant::platform {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

struct Line {
  std::size_t start = 0;  // offset of the line in the text
  std::string_view content;
  std::string_view end;  // "\r\n", "\n" or nothing for an unterminated last line
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto newline = text.find('\n', start);
    Line line;
    line.start = start;
    if (newline == std::string_view::npos) {
      line.content = text.substr(start);
      start = text.size();
    } else {
      std::size_t contentEnd = newline;
      if (contentEnd > start && text[contentEnd - 1] == '\r') --contentEnd;
      line.content = text.substr(start, contentEnd - start);
      line.end = text.substr(contentEnd, newline + 1 - contentEnd);
      start = newline + 1;
    }
    lines.push_back(line);
  }
  return lines;
}

// The section name of a header line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view content) {
  const auto trimmed = Trim(content);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const auto close = trimmed.find(']');
  return Trim(
      trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// The key name of a "name=value" line, or nothing for any other line.
std::optional<std::string_view> KeyName(std::string_view content) {
  const auto equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(content.substr(0, equals));
}

// Where a section and one of its keys are: indices into the lines.
struct Location {
  std::optional<std::size_t> header;
  std::size_t end = 0;  // one past the section's last line
  std::optional<std::size_t> key;
};

Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location found;
  const auto wantedSection = Trim(section);
  const auto wantedKey = Trim(key);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].content);
    if (!found.header) {
      if (name && EqualIgnoringCase1252(*name, wantedSection)) found.header = i;
      continue;
    }
    if (name) {
      found.end = i;
      return found;
    }
    if (!found.key) {
      if (const auto keyName = KeyName(lines[i].content);
          keyName && EqualIgnoringCase1252(*keyName, wantedKey)) {
        found.key = i;
      }
    }
  }
  found.end = lines.size();
  return found;
}

std::string KeyLine(std::string_view key, std::string_view value) {
  return std::string(Trim(key)) + "=" + std::string(value) + std::string(kLineEnd);
}

}  // namespace

std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
  const auto lines = SplitLines(text);
  const auto found = Find(lines, section, key);
  if (!found.key) return std::nullopt;
  const auto content = lines[*found.key].content;
  return std::string(Trim(content.substr(content.find('=') + 1)));
}

bool IniHasSection(std::string_view text, std::string_view section) {
  return Find(SplitLines(text), section, {}).header.has_value();
}

std::string IniWithValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
  const auto lines = SplitLines(text);
  const auto found = Find(lines, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

  if (found.key) {
    // The key keeps its own spelling; only what follows the "=" changes.
    const Line& line = lines[*found.key];
    out.append(text.substr(0, line.start));
    out.append(line.content.substr(0, line.content.find('=') + 1));
    out.append(value);
    out.append(line.end);
    out.append(text.substr(line.start + line.content.size() + line.end.size()));
    return out;
  }

  if (found.header) {
    // A new key goes after the section's last non-blank line, before the blank lines that
    // separate it from the next section.
    std::size_t after = *found.header;
    for (std::size_t i = *found.header + 1; i < found.end; ++i) {
      if (!Trim(lines[i].content).empty()) after = i;
    }
    const Line& line = lines[after];
    const std::size_t split = line.start + line.content.size() + line.end.size();
    out.append(text.substr(0, split));
    if (line.end.empty()) out.append(kLineEnd);
    out.append(KeyLine(key, value));
    out.append(text.substr(split));
    return out;
  }

  out.append(text);
  if (!out.empty() && out.back() != '\n') out.append(kLineEnd);
  out.append("[").append(Trim(section)).append("]").append(kLineEnd);
  out.append(KeyLine(key, value));
  return out;
}

std::string IniWithoutKey(std::string_view text, std::string_view section, std::string_view key) {
  const auto lines = SplitLines(text);
  const auto found = Find(lines, section, key);
  if (!found.key) return std::string(text);
  const Line& line = lines[*found.key];
  std::string out(text.substr(0, line.start));
  out.append(text.substr(line.start + line.content.size() + line.end.size()));
  return out;
}

}  // namespace korvant::platform
