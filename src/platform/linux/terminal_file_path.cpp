#include "platform/linux/terminal_file_path.h"

#include <cctype>
#include <vector>

#include "platform/file_system.h"

namespace korvant::platform {
namespace {

constexpr std::string_view kDefaultFolder = "C:\\";

bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool IsServerPath(std::string_view path) {
  return path.substr(0, 2) == "\\\\";
}

// "X:\" or "\\server\share\" and the rest after it.
std::string_view RootOf(std::string_view path) {
  if (HasDriveLetter(path)) return path.substr(0, path.size() > 2 && path[2] == '\\' ? 3 : 2);
  if (IsServerPath(path)) {
    std::size_t end = path.find('\\', 2);
    if (end != std::string_view::npos) end = path.find('\\', end + 1);
    return end == std::string_view::npos ? path : path.substr(0, end + 1);
  }
  return path.substr(0, 0);
}

std::string Normalised(std::string_view path) {
  const std::string_view root = RootOf(path);
  std::string result(root);
  if (result.empty() || result.back() != '\\') result += '\\';
  std::vector<std::string_view> parts;
  std::string_view rest = path.substr(root.size());
  while (!rest.empty()) {
    const std::size_t end = rest.find('\\');
    const std::string_view part = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += '\\';
    result += parts[i];
  }
  return result;
}

std::string WithBackslashes(std::string_view text) {
  std::string path(text);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string FolderForm(std::string_view path) {
  std::string folder = Normalised(path);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

DialogStart StartOfDialog(std::string_view initialName) {
  const std::string name = WithBackslashes(initialName);
  if (name.empty()) return {std::string(kDefaultFolder), {}};
  if (name.back() == '\\' || IsFolder(name)) return {FolderForm(name), {}};
  const std::size_t cut = name.rfind('\\');
  if (cut == std::string::npos) return {std::string(kDefaultFolder), name};
  return {FolderForm(name.substr(0, cut + 1)), name.substr(cut + 1)};
}

std::string ResolveTypedPath(std::string_view folder, std::string_view typed) {
  std::string path = WithBackslashes(typed);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!path.empty() && blank(path.back())) path.pop_back();
  std::size_t start = 0;
  while (start < path.size() && blank(path[start])) ++start;
  path.erase(0, start);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  }

  std::string full;
  if (IsServerPath(path) || (HasDriveLetter(path) && path.size() > 2 && path[2] == '\\')) {
    full = path;
  } else if (HasDriveLetter(path)) {
    full = path.substr(0, 2) + "\\" + path.substr(2);  // "C:name": the drive's root here
  } else if (!path.empty() && path.front() == '\\') {
    std::string root(RootOf(folder));
    if (!root.empty() && root.back() == '\\') root.pop_back();
    full = root + path;
  } else {
    full = std::string(folder) + (folder.empty() || folder.back() == '\\' ? "" : "\\") + path;
  }
  std::string resolved = Normalised(full);
  // A folder's trailing "\" is kept only for a root.
  if (resolved.size() > RootOf(resolved).size() && resolved.back() == '\\') resolved.pop_back();
  return resolved;
}

}  // namespace korvant::platform
