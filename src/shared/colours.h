#pragma once

#include <cstdint>

namespace korvant {

// Windows colour values, 0x00BBGGRR: the progress bar's fill colour tells the phase.
inline constexpr std::uint32_t kRed = 255;                  // a step failed
inline constexpr std::uint32_t kGreen = 0xFF00;             // completion; staging in progress
inline constexpr std::uint32_t kDarkGreen = 0x8000;         // migration finished
inline constexpr std::uint32_t kPurple = 0x800080;          // editing and uploading
inline constexpr std::uint32_t kBlue = 0xFF0000;            // all staged files uploaded
inline constexpr std::uint32_t kYellow = 0xFFFF;            // the search asks for the file
inline constexpr std::uint32_t kTransferColour = 0x6A513D;  // a transfer loop is running

}  // namespace korvant
