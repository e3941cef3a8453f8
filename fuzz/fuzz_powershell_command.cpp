// The PowerShell stand-in's command parser on arbitrary command texts, and the stand-in itself on
// the texts whose paths stay inside a scratch folder.
//  - A parsed command, written out again in plain quoted form, parses into the same command.
//  - The program's own route: the Windows command line split into arguments, -Command found.
//  - A command carried out reports its failure with a message and its success without one, and
//    writes nothing outside its drives and current folder.
#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>

#include "fuzz_support.h"
#include "platform/linux/command_line.h"
#include "platform/linux/powershell/powershell_cmdlets.h"
#include "platform/linux/powershell/powershell_command.h"
#include "shared/windows1252.h"

namespace {

namespace fs = std::filesystem;
using namespace korvant::powershell;

std::string SingleQuoted(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c;
    if (c == '\'') quoted += c;
  }
  return quoted + "'";
}

// Positional arguments first: a switch written before one would take it as its value.
std::string Written(const Command& command) {
  std::string text = SingleQuoted(command.name);
  for (const auto& word : command.positional) text += " " + SingleQuoted(word);
  for (const auto& named : command.named) {
    text += " -" + SingleQuoted(named.name);
    if (named.value) text += ":" + SingleQuoted(*named.value);
  }
  return text;
}

bool Same(const Command& a, const Command& b) {
  if (a.name != b.name || a.positional != b.positional || a.named.size() != b.named.size())
    return false;
  for (std::size_t i = 0; i < a.named.size(); ++i) {
    if (a.named[i].name != b.named[i].name || a.named[i].value != b.named[i].value) return false;
  }
  return true;
}

void CheckParameterMatch(const Command& command) {
  static const std::vector<std::string_view> kParameters = {
      "ItemType",         "Path",  "Name", "Value", "Force", "LiteralPath", "DestinationPath",
      "CompressionLevel", "Update"};
  for (const auto& named : command.named) {
    const auto match = MatchParameter(named.name, kParameters);
    if (!match) continue;
    // The name given is the parameter's beginning, letter case ignored.
    FUZZ_CHECK(named.name.size() <= match->size());
    FUZZ_CHECK(korvant::EqualIgnoringCase1252(named.name, match->substr(0, named.name.size())));
  }
}

// The scratch folder: <root>/box holds the drives and the current folder and is made afresh for
// every input; <root>/fence stays empty, and <root> holds nothing else.
struct Scratch {
  fs::path root;
  fs::path box;
  fs::path fence;
};
Scratch scratch;

void RemoveScratch() {
  std::error_code ignored;
  fs::current_path(fs::temp_directory_path(), ignored);
  fs::remove_all(scratch.root, ignored);
}

void FreshBox() {
  std::error_code error;
  fs::current_path(scratch.root);
  fs::remove_all(scratch.box, error);
  FUZZ_CHECK(!error);
  fs::create_directories(scratch.box / "drives" / "C" / "Tarvo" / "data" / "sub");
  fs::create_directories(scratch.box / "work");
  for (const char* name : {"Tarvo/Connection.ini", "Tarvo/data/a.dat", "Tarvo/data/sub/b.dat"}) {
    FILE* file = std::fopen((scratch.box / "drives" / "C" / name).c_str(), "w");
    FUZZ_CHECK(file != nullptr);
    std::fputs("[Server]\r\nName=x\r\n", file);
    std::fclose(file);
  }
  fs::current_path(scratch.box / "work");
}

// A path the stand-in resolves below the scratch folder: drive paths never climb above their
// root; host paths and climbing relative paths could reach anywhere.
bool StaysInside(std::string_view path) {
  const auto start = path.find_first_not_of(' ');
  if (start != std::string_view::npos && path[start] == '/') return false;
  const bool driveRooted =
      (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) ||
      (!path.empty() && path[0] == '\\');
  return driveRooted || path.find("..") == std::string_view::npos;
}

bool EveryPathStaysInside(const Command& command) {
  for (const auto& word : command.positional)
    if (!StaysInside(word)) return false;
  for (const auto& named : command.named)
    if (named.value && !StaysInside(*named.value)) return false;
  return true;
}

void CheckNothingOutside() {
  std::size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(scratch.root)) {
    ++entries;
    FUZZ_CHECK(entry.path() == scratch.box || entry.path() == scratch.fence);
  }
  FUZZ_CHECK(entries == 2);
  FUZZ_CHECK(fs::is_empty(scratch.fence));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string root = (fs::temp_directory_path() / "korvant-fuzz-powershell-XXXXXX").string();
  FUZZ_CHECK(::mkdtemp(root.data()) != nullptr);
  scratch.root = root;
  scratch.box = scratch.root / "box";
  scratch.fence = scratch.root / "fence";
  fs::create_directory(scratch.fence);
  ::setenv("KORVANT_DRIVES", (scratch.box / "drives").c_str(), 1);
  std::atexit(RemoveScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = korvant::fuzz::AsText(data, size);

  const ParseResult parsed = ParseCommand(text);
  FUZZ_CHECK(parsed.command.has_value() != !parsed.error.empty());
  if (parsed.command) {
    const ParseResult again = ParseCommand(Written(*parsed.command));
    FUZZ_CHECK(again.command.has_value());
    FUZZ_CHECK(Same(*again.command, *parsed.command));
    CheckParameterMatch(*parsed.command);
  }

  // As the program starts the stand-in: the text is its command line.
  auto arguments = korvant::platform::SplitWindowsCommandLine("Powershell " + std::string(text));
  arguments.erase(arguments.begin());
  const Invocation invocation = ReadInvocation(arguments);
  FUZZ_CHECK(invocation.commandText.has_value() != !invocation.error.empty());
  if (invocation.commandText) ParseCommand(*invocation.commandText);

  if (parsed.command && EveryPathStaysInside(*parsed.command)) {
    FreshBox();
    std::string errors;
    const int exitCode = RunCommandText(text, errors);
    FUZZ_CHECK(exitCode == 0 || exitCode == 1);
    FUZZ_CHECK((exitCode == 0) == errors.empty());
    CheckNothingOutside();
  }
  return 0;
}
