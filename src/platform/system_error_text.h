#pragma once

#include <cstdint>
#include <string>

namespace korvant::platform {

// The system's message for a Windows error code on one line (the message's own line breaks are
// not kept), or empty when the system has no message for it. At most `capacity` characters.
std::string SystemMessage(std::uint32_t code, std::size_t capacity);

}  // namespace korvant::platform
