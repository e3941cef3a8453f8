#pragma once

#include <string>
#include <string_view>

namespace korvant {

// The program's own texts are Windows-1252 bytes; the host's names and terminal speak UTF-8.
std::string Windows1252ToUtf8(std::string_view text);
// Characters that Windows-1252 cannot hold become "?", as Windows' ANSI conversion does.
std::string Utf8ToWindows1252(std::string_view text);

// Letter case as Windows' ANSI upper-casing sees it for the Windows-1252 code page.
char UpperCase1252(char c);
std::string UpperCase1252(std::string_view text);
bool EqualIgnoringCase1252(std::string_view a, std::string_view b);

}  // namespace korvant
