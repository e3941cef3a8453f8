#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::powershell {

// One named argument of a command: "-Name value", "-Name:value" or a switch "-Name".
struct NamedArgument {
  std::string name;                  // without the "-"
  std::optional<std::string> value;  // nothing for a switch
};

// One command as PowerShell's parser reads it: the command name and its arguments.
struct Command {
  std::string name;
  std::vector<NamedArgument> named;
  std::vector<std::string> positional;
};

struct ParseResult {
  std::optional<Command> command;
  std::string error;  // why the text is no command this stand-in carries out
};

// The text after -Command: PowerShell joins the remaining arguments with blanks.
struct Invocation {
  std::optional<std::string> commandText;
  std::string error;
};
Invocation ReadInvocation(const std::vector<std::string>& arguments);

// Reads one command: barewords, '...' and "..." strings (with their doubled-quote and backtick
// escapes), "-Name" and "-Name:value" parameters. Pipelines, several statements, variables and
// expressions are refused, since nothing here could carry them out as PowerShell would.
ParseResult ParseCommand(std::string_view text);

// PowerShell's parameter binding: the parameter whose name the argument's name is, or is the
// unique beginning of, letter case ignored; nothing when there is none or more than one.
std::optional<std::string> MatchParameter(std::string_view given,
                                          const std::vector<std::string_view>& parameters);

}  // namespace korvant::powershell
