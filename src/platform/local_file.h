#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvant::platform {

// One open local file, the handle a transfer's file stream reads from or writes into. Errors are
// Windows error codes, read with LastError() right after the failing call.
class LocalFileHandle {
 public:
  LocalFileHandle() = default;
  ~LocalFileHandle();
  LocalFileHandle(const LocalFileHandle&) = delete;
  LocalFileHandle& operator=(const LocalFileHandle&) = delete;

  // Opens an existing file for reading, others may read it too.
  bool OpenForRead(std::string_view path);
  // Creates the file, or truncates an existing one, for writing; others may read it.
  bool OpenForWrite(std::string_view path);
  bool IsOpen() const { return native_ != kClosed; }
  bool Read(void* buffer, std::uint32_t count, std::uint32_t& bytesRead);
  bool Write(const void* buffer, std::uint32_t count, std::uint32_t& bytesWritten);
  bool Close();
  std::uint32_t LastError() const { return lastError_; }

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t native_ = kClosed;  // the host's file descriptor or handle
  std::uint32_t lastError_ = 0;
};

}  // namespace korvant::platform
