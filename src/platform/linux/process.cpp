#include "platform/process.h"

#include <errno.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/environment.h"
#include "platform/linux/child_process.h"
#include "platform/linux/command_line.h"
#include "platform/linux/drive_mapping.h"
#include "platform/linux/windows_error_from_errno.h"
#include "platform/windows_errors.h"
#include "shared/fixed_text.h"

namespace korvant::platform {
namespace fs = std::filesystem;

namespace {

// A start's failures beyond the file system's: a file that is no program, a command line too long.
std::uint32_t WindowsErrorOf(int error) {
  if (error == ENOEXEC) return kErrorBadExeFormat;
  if (error == E2BIG) return kErrorFilenameExcedRange;
  return WindowsErrorFromErrno(error);
}

bool IsPlainFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool HasExtension(std::string_view name) {
  const auto dot = name.rfind('.');
  return dot != std::string_view::npos && name.find_first_of("\\/", dot) == std::string_view::npos;
}

// A program named without a folder is looked for where Windows looks: the program's own folder,
// the current folder, then PATH; a name without extension also as name + ".exe".
std::optional<fs::path> FindProgram(const std::string& name) {
  std::vector<std::string> names = {name};
  if (!HasExtension(name)) names.push_back(name + ".exe");
  const bool bare = name.find_first_of("\\/:") == std::string::npos;
  if (!bare) {
    for (const auto& candidate : names) {
      if (const fs::path host = HostPath(candidate); IsPlainFile(host)) return host;
    }
    return std::nullopt;
  }
  std::vector<fs::path> folders = {fs::path(OwnProgramPath()).parent_path(), fs::current_path()};
  const std::string path = EnvironmentValue("PATH").value_or("");
  for (std::size_t start = 0; start <= path.size();) {
    const auto end = std::min(path.find(':', start), path.size());
    if (end > start) folders.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  for (const auto& folder : folders) {
    for (const auto& candidate : names) {
      if (const fs::path host = folder / HostPath(candidate); IsPlainFile(host)) return host;
    }
  }
  return std::nullopt;
}

// Windows has no execute permission: any program file can be started. A file that lacks the
// permission here (a setup just downloaded) still runs when it names its interpreter; any other
// file without it is no program this host can start.
std::optional<std::vector<std::string>> ExecutableArgv(const fs::path& program,
                                                       std::vector<std::string> args) {
  if (::access(program.c_str(), X_OK) == 0) {
    args.insert(args.begin(), program.string());
    return args;
  }
  std::ifstream in(program, std::ios::binary);
  std::string first;
  std::getline(in, first);
  if (first.rfind("#!", 0) != 0) return std::nullopt;
  std::vector<std::string> interpreter;
  std::size_t i = 2;
  while (i < first.size() && (first[i] == ' ' || first[i] == '\t')) ++i;
  const auto end = first.find_first_of(" \t\r", i);
  interpreter.push_back(first.substr(i, end == std::string::npos ? std::string::npos : end - i));
  if (end != std::string::npos) {
    std::string rest(ClipBlanks(first.substr(end + 1)));
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\t')) rest.pop_back();
    const auto lead = rest.find_first_not_of(" \t");
    if (lead != std::string::npos) interpreter.push_back(rest.substr(lead));
  }
  interpreter.push_back(program.string());
  interpreter.insert(interpreter.end(), args.begin(), args.end());
  return interpreter;
}

std::string ChildOutputPath() {
  // A started program's console output joins the debug output, when someone listens there.
  const auto target = EnvironmentValue("KORVANT_DEBUG_OUTPUT").value_or("");
  return target == "-" ? "/dev/stderr" : target;
}

}  // namespace

RunResult RunCommandLine(std::string_view commandLine, bool wait) {
  std::vector<std::string> words = SplitWindowsCommandLine(commandLine);
  RunResult result;
  const std::string name(ClipBlanks(words.front()));
  const auto program = name.empty() ? std::nullopt : FindProgram(name);
  if (!program) {
    result.code = kStartFailed;
    result.error = kErrorFileNotFound;
    return result;
  }
  words.erase(words.begin());
  const auto argv = ExecutableArgv(*program, std::move(words));
  if (!argv) {
    result.code = kStartFailed;
    result.error = kErrorBadExeFormat;
    return result;
  }
  const SpawnResult spawned = SpawnProgram(*argv, wait, ChildOutputPath());
  if (!spawned.started) {
    result.code = kStartFailed;
    result.error = WindowsErrorOf(spawned.error);
    return result;
  }
  result.code = spawned.exitCode;
  return result;
}

void OpenDocument(std::string_view path) {
  const std::string opener = EnvironmentValue("KORVANT_OPEN").value_or("xdg-open");
  std::string program = opener;
  if (opener.find('/') == std::string::npos) {
    const std::string searchPath = EnvironmentValue("PATH").value_or("/usr/bin:/bin");
    for (std::size_t start = 0; start <= searchPath.size();) {
      const auto end = std::min(searchPath.find(':', start), searchPath.size());
      const fs::path candidate = fs::path(searchPath.substr(start, end - start)) / opener;
      if (end > start && ::access(candidate.c_str(), X_OK) == 0) {
        program = candidate.string();
        break;
      }
      start = end + 1;
    }
  }
  SpawnProgram({program, HostPath(path).string()}, false, ChildOutputPath());
}

std::string OwnProgramPath() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

void SleepMilliseconds(std::uint32_t milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

}  // namespace korvant::platform
