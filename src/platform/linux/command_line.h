#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvant::platform {

// Splits a Windows command line the way Windows programs receive it: the program name ends at
// the first blank or tab (or is quoted, without escapes); the arguments follow the C runtime's
// rules: blanks and tabs separate outside quotes, 2n backslashes before a quote give n backslashes
// and toggle quoting, 2n+1 give n backslashes and a literal quote, other backslashes are literal,
// and "" inside quotes is a literal quote.
std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine);

}  // namespace korvant::platform
