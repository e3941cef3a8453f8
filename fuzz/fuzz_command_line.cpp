// The Windows command-line splitter on arbitrary bytes. Its words, quoted again by the rules every
// Windows program that builds a command line follows, must split back into the same words.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/linux/command_line.h"

namespace {

// An argument as a Windows caller quotes it: bare when it needs no quotes; else in quotes, with
// the backslashes before a quote (and before the closing quote) doubled and the quote escaped.
std::string QuoteArgument(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(2 * backslashes + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  quoted += '"';
  return quoted;
}

// The program name takes no escapes: quoted whole when it holds a blank (it then holds no quote).
std::string QuoteProgram(const std::string& program) {
  if (!program.empty() && program.find_first_of(" \t") == std::string::npos) return program;
  return "\"" + program + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvant::platform::SplitWindowsCommandLine;
  const auto words = SplitWindowsCommandLine(korvant::fuzz::AsText(data, size));
  FUZZ_CHECK(!words.empty());
  // A program name with a blank came quoted and so cannot hold a quote.
  const bool programHasBlank = words[0].find_first_of(" \t") != std::string::npos;
  FUZZ_CHECK(!(programHasBlank && words[0].find('"') != std::string::npos));

  std::string again = QuoteProgram(words[0]);
  for (std::size_t i = 1; i < words.size(); ++i) again += " " + QuoteArgument(words[i]);
  FUZZ_CHECK(SplitWindowsCommandLine(again) == words);
  return 0;
}
