#include "platform/linux/drive_mapping.h"

#include <stdlib.h>

#include <string>
#include <vector>

#include "shared/fixed_text.h"
#include "shared/windows1252.h"

namespace korvant::platform {
namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// Windows resolves "." and ".." by text; a rooted path never climbs above its root.
std::vector<std::string_view> Normalise(const std::vector<std::string_view>& parts, bool rooted) {
  std::vector<std::string_view> kept;
  for (const auto part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!kept.empty() && kept.back() != "..") {
        kept.pop_back();
      } else if (!rooted) {
        kept.push_back(part);
      }
      continue;
    }
    kept.push_back(part);
  }
  return kept;
}

// The existing entry of `folder` that equals `name` in any letter case, else `name` itself.
std::string MatchCase(const fs::path& folder, const std::string& windowsName) {
  const std::string hostName = Windows1252ToUtf8(windowsName);
  std::error_code error;
  const fs::path scanned = folder.empty() ? fs::path(".") : folder;
  if (fs::symlink_status(scanned / hostName, error).type() != fs::file_type::not_found) {
    return hostName;
  }
  for (fs::directory_iterator it(scanned, error), end; !error && it != end; it.increment(error)) {
    const std::string candidate = it->path().filename().string();
    if (EqualIgnoringCase1252(Utf8ToWindows1252(candidate), windowsName)) return candidate;
  }
  return hostName;
}

fs::path Append(fs::path base, const std::vector<std::string_view>& parts) {
  for (const auto part : parts) {
    if (part == "..") {
      base /= "..";
    } else {
      base /= MatchCase(base, std::string(part));
    }
  }
  return base;
}

}  // namespace

fs::path DrivesFolder() {
  if (const char* drives = getenv("KORVANT_DRIVES"); drives != nullptr && *drives != '\0') {
    return drives;
  }
  if (const char* data = getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
    return fs::path(data) / "korvant" / "drives";
  }
  const char* home = getenv("HOME");
  return fs::path(home != nullptr ? home : "/") / ".local" / "share" / "korvant" / "drives";
}

fs::path HostPath(std::string_view windowsPath) {
  const std::string_view path = ClipBlanks(windowsPath);
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // \\SERVER\SHARE\rest: a remote share, such as the user's own C: drive in a remote session.
    auto parts = Components(path);
    fs::path root = DrivesFolder();
    std::size_t used = 0;
    for (; used < 2 && used < parts.size(); ++used) root /= UpperAscii(parts[used]);
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(used));
    return Append(root, Normalise(parts, true));
  }
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    const fs::path root = DrivesFolder() / std::string(1, UpperAscii(path[0]));
    return Append(root, Normalise(Components(path.substr(2)), true));
  }
  if (!path.empty() && path[0] == '/') return fs::path(std::string(path));
  if (!path.empty() && path[0] == '\\') {
    return Append(DrivesFolder() / "C", Normalise(Components(path), true));
  }
  const auto parts = Normalise(Components(path), false);
  if (parts.empty()) return fs::path(".");
  return Append(fs::path(), parts);
}

}  // namespace korvant::platform
