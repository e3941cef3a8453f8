#pragma once

#include <cstdint>
#include <string_view>

namespace korvant::platform {

// Flags of the shell's file operation that this program uses.
inline constexpr std::uint32_t kFofNoConfirmation = 0x0010;
inline constexpr std::uint32_t kFofAllowUndo = 0x0040;
inline constexpr std::uint32_t kFofFilesOnly = 0x0080;
inline constexpr std::uint32_t kFofNoConfirmMkdir = 0x0200;
inline constexpr std::uint32_t kFofNoRecursion = 0x1000;

// The shell's file copy of one source (a file, a folder, or a folder followed by a wildcard) to
// a destination. 0 on success, else the shell's (Windows) error code.
int ShellFileCopy(std::string_view source, std::string_view destination, std::uint32_t flags);

// The shell's creation of a folder with every missing folder above it. 0 on success, else the
// Windows error code (183 when it exists already).
int ShellCreateFolder(std::string_view path);

}  // namespace korvant::platform
