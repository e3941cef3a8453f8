#include "migrate/system_error_text.h"

#include "platform/system_error_text.h"
#include "shared/fixed_text.h"

namespace korvant {

namespace {
// The system is asked for at most 511 characters, the room of a 512-byte buffer.
constexpr std::size_t kLongestText = 511;
}  // namespace

std::string SystemErrorText(std::int32_t code) {
  if (code == 0) return {};
  const std::string text = platform::SystemMessage(static_cast<std::uint32_t>(code), kLongestText);
  return std::string(ClipBlanks(text));
}

}  // namespace korvant
