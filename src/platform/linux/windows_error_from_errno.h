#pragma once

#include <cstdint>

namespace korvant::platform {

// Codes this host's failures map to beyond the common ones of windows_errors.h.
inline constexpr std::uint32_t kErrorIoDevice = 1117;
inline constexpr std::uint32_t kErrorCantResolveFilename = 1921;

// The Windows error code that Windows reports for the failure this host reports as `error`
// (an errno value). Unknown failures become ERROR_INVALID_FUNCTION (1).
std::uint32_t WindowsErrorFromErrno(int error);

}  // namespace korvant::platform
