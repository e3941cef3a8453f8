#pragma once

#include <string>
#include <string_view>

#include "shared/fixed_text.h"

namespace korvant {

// Owns one libcurl URL handle. Part numbers and flags are libcurl's; results are its URL error
// codes, unchanged.
class TCurlUrlClass {
 public:
  TCurlUrlClass() = default;
  TCurlUrlClass(const TCurlUrlClass&) = delete;
  TCurlUrlClass& operator=(const TCurlUrlClass&) = delete;
  virtual ~TCurlUrlClass() { Cleanup(); }

  // Releases an earlier handle and makes a fresh one.
  void Create();
  void Cleanup();
  // Sets a part from the text without its trailing blanks.
  int SetPart(int part, std::string_view text, unsigned flags);
  // On success the destination holds the part (cut at its width); on failure it stays untouched.
  template <std::size_t N>
  int GetPart(int part, FixedText<N>& destination, unsigned flags) {
    std::string value;
    const int result = GetPartText(part, value, flags);
    if (result == 0) destination = value;
    return result;
  }
  void* Handle() const { return URLP; }

  void* URLP = nullptr;

 private:
  int GetPartText(int part, std::string& value, unsigned flags);
};

}  // namespace korvant
