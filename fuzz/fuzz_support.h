#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

// A property of the code under test that failed: libFuzzer keeps the input that broke it. Plain
// assert() would vanish in an optimised build.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

namespace korvant::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at its first `count` NUL bytes into count + 1 parts; missing parts are empty. The
// last part keeps any further NULs. Seeds stay readable: "part\0part\0rest".
inline std::vector<std::string_view> SplitAtNul(std::string_view input, std::size_t count) {
  std::vector<std::string_view> parts;
  for (std::size_t i = 0; i < count; ++i) {
    const auto nul = input.find('\0');
    if (nul == std::string_view::npos) {
      parts.push_back(input);
      input = {};
    } else {
      parts.push_back(input.substr(0, nul));
      input.remove_prefix(nul + 1);
    }
  }
  parts.push_back(input);
  return parts;
}

}  // namespace korvant::fuzz
