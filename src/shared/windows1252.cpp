#include "shared/windows1252.h"

#include <array>
#include <cstdint>

namespace korvant {
namespace {

// Unicode code points of the bytes 0x80..0x9F; 0 marks the five bytes the code page leaves
// undefined, which Windows maps to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    const char16_t mapped = kHighControls[byte - 0x80];
    return mapped != 0 ? mapped : byte;
  }
  return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char ByteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (unsigned i = 0; i < kHighControls.size(); ++i) {
    const char32_t mapped = kHighControls[i] != 0 ? kHighControls[i] : 0x80 + i;
    if (mapped == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t cp = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
      extra = 3;
      cp = lead & 0x07;
    } else if (lead >= 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if (lead >= 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if (lead >= 0x80) {
      out += '?';  // a stray continuation byte
      ++i;
      continue;
    }
    bool valid = i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += ByteFor(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

char UpperCase1252(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
  switch (b) {
    case 0x9A:
      return static_cast<char>(0x8A);
    case 0x9C:
      return static_cast<char>(0x8C);
    case 0x9E:
      return static_cast<char>(0x8E);
    case 0xFF:
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

std::string UpperCase1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperCase1252(c);
  return out;
}

bool EqualIgnoringCase1252(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCase1252(a[i]) != UpperCase1252(b[i])) return false;
  }
  return true;
}

}  // namespace korvant
