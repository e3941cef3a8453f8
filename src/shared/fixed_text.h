#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace korvant {

// A value's trailing blanks are padding: paths, command lines, URLs and messages take the value
// without them.
inline std::string_view ClipBlanks(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

inline bool SameClipped(std::string_view a, std::string_view b) {
  return ClipBlanks(a) == ClipBlanks(b);
}

// A blank-padded text field of a fixed width: storing cuts at the width, comparisons ignore the
// padding.
template <std::size_t N>
class FixedText {
 public:
  static constexpr std::size_t kWidth = N;

  FixedText() : chars_(N, ' ') {}
  FixedText(std::string_view text) : FixedText() { Assign(text); }    // NOLINT: fields take texts
  FixedText(const char* text) : FixedText(std::string_view(text)) {}  // NOLINT
  FixedText(const std::string& text) : FixedText(std::string_view(text)) {}  // NOLINT
  template <std::size_t M>
  FixedText(const FixedText<M>& other) : FixedText(other.Padded()) {}  // NOLINT

  FixedText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  FixedText& operator=(const char* text) { return *this = std::string_view(text); }
  FixedText& operator=(const std::string& text) { return *this = std::string_view(text); }
  template <std::size_t M>
  FixedText& operator=(const FixedText<M>& other) {
    return *this = other.Padded();
  }

  // The value without its trailing blanks.
  std::string Clip() const { return std::string(ClipBlanks(chars_)); }
  std::string_view Padded() const { return chars_; }
  bool IsBlank() const { return ClipBlanks(chars_).empty(); }
  void Clear() { chars_.assign(N, ' '); }

  friend bool operator==(const FixedText& a, std::string_view b) {
    return SameClipped(a.chars_, b);
  }
  template <std::size_t M>
  friend bool operator==(const FixedText& a, const FixedText<M>& b) {
    return SameClipped(a.Padded(), b.Padded());
  }

 private:
  void Assign(std::string_view text) {
    const auto kept = std::min(text.size(), N);
    chars_.replace(0, kept, text.substr(0, kept));
    std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(kept), chars_.end(), ' ');
  }

  std::string chars_;
};

}  // namespace korvant
