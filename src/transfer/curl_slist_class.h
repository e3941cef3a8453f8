#pragma once

namespace korvant {

// Owns one libcurl string list (the session's HTTP header list).
class TCurlSListClass {
 public:
  TCurlSListClass() = default;
  TCurlSListClass(const TCurlSListClass&) = delete;
  TCurlSListClass& operator=(const TCurlSListClass&) = delete;
  virtual ~TCurlSListClass() { Free(); }

  void Free();

  void* PLIST = nullptr;  // the list, null when empty
};

}  // namespace korvant
