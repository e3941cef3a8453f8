#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/local_file.h"

namespace korvant {

// The local file a transfer writes into or reads from. It opens lazily: the first callback that
// needs the file opens it, so a download that delivers no data creates no file.
class TLocalFileClass {
 public:
  static constexpr std::size_t kMaxName = 259;

  TLocalFileClass() = default;
  TLocalFileClass(const TLocalFileClass&) = delete;
  TLocalFileClass& operator=(const TLocalFileClass&) = delete;
  virtual ~TLocalFileClass() { Close(); }

  // Names the file (trailing blanks removed, cut at 259 characters); an open file is closed first.
  void Init(std::string_view fileName);
  // Both do nothing when the file is open already, whatever its mode.
  bool OpenForRead();
  // Creates the file, truncating an existing one.
  bool OpenForWrite();
  bool Read(void* buffer, std::uint32_t count, std::uint32_t& bytesRead);
  bool Write(const void* buffer, std::uint32_t count, std::uint32_t& bytesWritten);
  virtual bool Close();
  std::string GetFileName() const { return FILENAME; }
  std::uint32_t LastError() const { return FHANDLE.LastError(); }
  // True once this stream has created (or truncated) its file.
  bool CreatedFile() const { return created_; }

  std::string FILENAME;
  platform::LocalFileHandle FHANDLE;
  std::int64_t FPOSITION = 0;  // bytes written so far; 64 bits, as files pass 2 GiB

 private:
  bool created_ = false;
};

}  // namespace korvant
