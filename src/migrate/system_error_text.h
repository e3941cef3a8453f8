#pragma once

#include <cstdint>
#include <string>

namespace korvant {

// The system's text for a Windows error code on one line without trailing blanks; empty for 0 and
// for a code the system has no text for.
std::string SystemErrorText(std::int32_t code);

}  // namespace korvant
