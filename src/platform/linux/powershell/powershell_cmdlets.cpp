#include "platform/linux/powershell/powershell_cmdlets.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "platform/linux/drive_mapping.h"
#include "platform/linux/powershell/powershell_command.h"
#include "platform/linux/powershell/zip_reader.h"
#include "platform/linux/powershell/zip_writer.h"
#include "platform/linux/windows_wildcard.h"
#include "shared/windows1252.h"

namespace korvant::powershell {
namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 1;

// A cmdlet's parameters: which exist and which are switches.
struct Parameter {
  std::string_view name;
  bool isSwitch = false;
};

using BoundArguments = std::map<std::string, std::string>;  // switch: value "True"

std::optional<BoundArguments> Bind(const Command& command, const std::vector<Parameter>& known,
                                   std::string& errors) {
  std::vector<std::string_view> names;
  for (const auto& parameter : known) names.push_back(parameter.name);
  BoundArguments bound;
  std::vector<std::string> positional = command.positional;
  for (const auto& argument : command.named) {
    const auto name = MatchParameter(argument.name, names);
    if (!name) {
      errors += command.name + " : A parameter cannot be found that matches parameter name '" +
                argument.name + "'.\n";
      return std::nullopt;
    }
    if (bound.count(*name) != 0) {
      errors += command.name + " : Cannot bind parameter because parameter '" + *name +
                "' is specified more than once.\n";
      return std::nullopt;
    }
    const auto parameter = std::find_if(known.begin(), known.end(),
                                        [&](const Parameter& p) { return p.name == *name; });
    if (parameter->isSwitch) {
      bound[*name] = "True";
      // "-Force x": the word after a switch is no value of it.
      if (argument.value) positional.push_back(*argument.value);
      continue;
    }
    if (!argument.value) {
      errors += command.name + " : Missing an argument for parameter '" + *name + "'.\n";
      return std::nullopt;
    }
    bound[*name] = *argument.value;
  }
  if (!positional.empty()) {
    errors += command.name + " : A positional parameter cannot be found that accepts argument '" +
              positional.front() + "'; name every parameter.\n";
    return std::nullopt;
  }
  return bound;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string Shown(const std::string& windowsText) {
  return Windows1252ToUtf8(windowsText);
}

// The items a -Path names: the path itself, or what its last name's wildcards match, in name
// order. Empty when nothing exists there.
std::vector<fs::path> ResolveItems(const std::string& path, bool literal) {
  std::string_view text(path);
  while (text.size() > 3 && IsSeparator(text.back())) text.remove_suffix(1);
  const auto separator = text.find_last_of("\\/");
  const std::string_view last =
      separator == std::string_view::npos ? text : text.substr(separator + 1);
  std::error_code error;
  if (literal || !platform::HasWildcard(last)) {
    const fs::path host = platform::HostPath(text);
    if (fs::exists(host, error)) return {host};
    return {};
  }
  std::string folder =
      separator == std::string_view::npos ? "." : std::string(text.substr(0, separator + 1));
  const fs::path hostFolder = platform::HostPath(folder);
  std::vector<fs::path> items;
  for (fs::directory_iterator it(hostFolder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = Utf8ToWindows1252(it->path().filename().string());
    if (platform::MatchesWildcard(name, last)) items.push_back(it->path());
  }
  std::sort(items.begin(), items.end(), [](const fs::path& a, const fs::path& b) {
    return UpperCase1252(Utf8ToWindows1252(a.filename().string())) <
           UpperCase1252(Utf8ToWindows1252(b.filename().string()));
  });
  return items;
}

std::string Extension(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos) return {};
  return path.substr(dot);
}

int NewItem(const Command& command, std::string& errors) {
  const auto bound =
      Bind(command, {{"ItemType"}, {"Path"}, {"Name"}, {"Value"}, {"Force", true}}, errors);
  if (!bound) return kFailed;
  const auto type = bound->find("ItemType");
  if (type == bound->end() || !(EqualIgnoringCase1252(type->second, "Directory"))) {
    errors += "New-Item : only -ItemType Directory is supported here.\n";
    return kFailed;
  }
  if (bound->count("Value") != 0) {
    errors += "New-Item : a folder takes no -Value.\n";
    return kFailed;
  }
  const auto pathArgument = bound->find("Path");
  std::string path = pathArgument == bound->end() ? "." : pathArgument->second;
  if (const auto name = bound->find("Name"); name != bound->end()) {
    if (!path.empty() && !IsSeparator(path.back())) path += "\\";
    path += name->second;
  }
  const fs::path host = platform::HostPath(path);
  std::error_code error;
  if (fs::exists(fs::symlink_status(host, error))) {
    if (bound->count("Force") != 0 && fs::is_directory(host, error)) return 0;
    errors += "New-Item : An item with the specified name " + Shown(path) + " already exists.\n";
    return kFailed;
  }
  if (!fs::is_directory(host.parent_path(), error)) {
    errors += "New-Item : Could not find a part of the path '" + Shown(path) + "'.\n";
    return kFailed;
  }
  if (!fs::create_directory(host, error)) {
    errors += "New-Item : " + Shown(path) + ": " + error.message() + "\n";
    return kFailed;
  }
  return 0;
}

int CompressArchive(const Command& command, std::string& errors) {
  const auto bound = Bind(command,
                          {{"Path"},
                           {"LiteralPath"},
                           {"DestinationPath"},
                           {"CompressionLevel"},
                           {"Force", true},
                           {"Update", true}},
                          errors);
  if (!bound) return kFailed;
  const bool literal = bound->count("LiteralPath") != 0;
  const auto source = bound->find(literal ? "LiteralPath" : "Path");
  const auto destination = bound->find("DestinationPath");
  if (source == bound->end() || destination == bound->end() ||
      bound->count("Path") + bound->count("LiteralPath") != 1) {
    errors += "Compress-Archive : give one -Path (or -LiteralPath) and -DestinationPath.\n";
    return kFailed;
  }
  if (bound->count("Update") != 0) {
    errors += "Compress-Archive : -Update is not supported here.\n";
    return kFailed;
  }
  Compression compression = Compression::kOptimal;
  if (const auto level = bound->find("CompressionLevel"); level != bound->end()) {
    if (EqualIgnoringCase1252(level->second, "NoCompression")) {
      compression = Compression::kStore;
    } else if (EqualIgnoringCase1252(level->second, "Fastest")) {
      compression = Compression::kFastest;
    } else if (!EqualIgnoringCase1252(level->second, "Optimal")) {
      errors +=
          "Compress-Archive : Cannot validate argument on parameter 'CompressionLevel'. "
          "The argument \"" +
          Shown(level->second) +
          "\" does not belong to the set \"Optimal,NoCompression,Fastest\".\n";
      return kFailed;
    }
  }

  std::string archive = destination->second;
  const std::string extension = Extension(archive);
  if (extension.empty()) {
    archive += ".zip";
  } else if (!EqualIgnoringCase1252(extension, ".zip")) {
    errors += "Compress-Archive : " + Shown(extension) +
              " is not a supported archive file format. .zip is the only supported archive file "
              "format.\n";
    return kFailed;
  }
  const auto items = ResolveItems(source->second, literal);
  if (items.empty()) {
    errors += "Compress-Archive : The path '" + Shown(source->second) +
              "' either does not exist or is not a valid file system path.\n";
    return kFailed;
  }
  const fs::path hostArchive = platform::HostPath(archive);
  std::error_code error;
  if (!fs::is_directory(hostArchive.parent_path(), error)) {
    errors += "Compress-Archive : The path '" + Shown(archive) +
              "' either does not exist or is not a valid file system path.\n";
    return kFailed;
  }
  if (fs::is_directory(hostArchive, error)) {
    errors += "Compress-Archive : The archive path " + Shown(archive) + " is a folder.\n";
    return kFailed;
  }
  if (fs::exists(hostArchive, error) && bound->count("Force") == 0) {
    errors += "Compress-Archive : The archive file " + Shown(archive) +
              " already exists. Use the -Update parameter to update the existing archive file or "
              "use the -Force parameter to overwrite the existing archive file.\n";
    return kFailed;
  }
  if (const auto failure = WriteZipArchive(items, hostArchive, compression); !failure.empty()) {
    errors += "Compress-Archive : " + failure + "\n";
    return kFailed;
  }
  return 0;
}

int ExpandArchive(const Command& command, std::string& errors) {
  const auto bound =
      Bind(command, {{"Path"}, {"LiteralPath"}, {"DestinationPath"}, {"Force", true}}, errors);
  if (!bound) return kFailed;
  const bool literal = bound->count("LiteralPath") != 0;
  const auto source = bound->find(literal ? "LiteralPath" : "Path");
  if (source == bound->end() || bound->count("Path") + bound->count("LiteralPath") != 1) {
    errors += "Expand-Archive : give one -Path (or -LiteralPath).\n";
    return kFailed;
  }
  const auto items = ResolveItems(source->second, literal);
  std::error_code error;
  if (items.size() != 1 || !fs::is_regular_file(items.front(), error)) {
    errors += "Expand-Archive : The path '" + Shown(source->second) +
              "' either does not exist or is not a valid file system path.\n";
    return kFailed;
  }
  if (!EqualIgnoringCase1252(Extension(Utf8ToWindows1252(items.front().filename().string())),
                             ".zip")) {
    errors += "Expand-Archive : " + items.front().filename().string() +
              " is not a supported archive file format. .zip is the only supported archive file "
              "format.\n";
    return kFailed;
  }
  const auto destination = bound->find("DestinationPath");
  const std::string target = destination == bound->end() ? "." : destination->second;
  const fs::path hostTarget = platform::HostPath(target);
  if (fs::exists(hostTarget, error) && !fs::is_directory(hostTarget, error)) {
    errors += "Expand-Archive : The path '" + Shown(target) + "' is a file, not a folder.\n";
    return kFailed;
  }
  const ExpandResult result =
      ExpandZipArchive(items.front(), hostTarget, bound->count("Force") != 0);
  if (result.errors.empty()) return 0;
  std::size_t start = 0;
  while (start < result.errors.size()) {
    const auto end = result.errors.find('\n', start);
    errors += "Expand-Archive : " + result.errors.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return kFailed;
}

}  // namespace

int RunCommandText(std::string_view commandText, std::string& errors) {
  const ParseResult parsed = ParseCommand(commandText);
  if (!parsed.command) {
    errors += "The command \"" + Shown(std::string(commandText)) +
              "\" cannot be run: " + parsed.error + ".\n";
    return kFailed;
  }
  const Command& command = *parsed.command;
  // A NUL ("`0") ends a path for the host but not for the item found under it, which would name
  // the folder itself again: PowerShell refuses such a path, and so does the stand-in.
  const auto holdsNul = [](const std::string& value) {
    return value.find('\0') != std::string::npos;
  };
  bool illegal = std::any_of(command.positional.begin(), command.positional.end(), holdsNul);
  for (const auto& argument : command.named) {
    if (argument.value && holdsNul(*argument.value)) illegal = true;
  }
  if (illegal) {
    errors += Shown(command.name) + " : Illegal characters in path.\n";
    return kFailed;
  }
  if (EqualIgnoringCase1252(command.name, "New-Item")) return NewItem(command, errors);
  if (EqualIgnoringCase1252(command.name, "Compress-Archive")) {
    return CompressArchive(command, errors);
  }
  if (EqualIgnoringCase1252(command.name, "Expand-Archive")) return ExpandArchive(command, errors);
  errors += Shown(command.name) + " : The term '" + Shown(command.name) +
            "' is not recognized as the name of a cmdlet this stand-in carries out (New-Item, "
            "Compress-Archive, Expand-Archive).\n";
  return kFailed;
}

int RunPowershell(const std::vector<std::string>& arguments, std::string& errors) {
  const Invocation invocation = ReadInvocation(arguments);
  if (!invocation.commandText) {
    errors += "Powershell: " + invocation.error + ".\n";
    return kFailed;
  }
  return RunCommandText(*invocation.commandText, errors);
}

}  // namespace korvant::powershell
