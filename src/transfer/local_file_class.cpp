#include "transfer/local_file_class.h"

#include "shared/fixed_text.h"
#include "transfer/curl_trace.h"

namespace korvant {

void TLocalFileClass::Init(std::string_view fileName) {
  // A re-initialised stream must not keep a handle it can no longer name.
  if (FHANDLE.IsOpen()) FHANDLE.Close();
  FILENAME = std::string(ClipBlanks(fileName).substr(0, kMaxName));
}

bool TLocalFileClass::OpenForRead() {
  if (FHANDLE.IsOpen()) return true;
  return FHANDLE.OpenForRead(FILENAME);
}

bool TLocalFileClass::OpenForWrite() {
  if (FHANDLE.IsOpen()) return true;
  if (!FHANDLE.OpenForWrite(FILENAME)) return false;
  created_ = true;
  return true;
}

bool TLocalFileClass::Read(void* buffer, std::uint32_t count, std::uint32_t& bytesRead) {
  return FHANDLE.Read(buffer, count, bytesRead);
}

bool TLocalFileClass::Write(const void* buffer, std::uint32_t count, std::uint32_t& bytesWritten) {
  return FHANDLE.Write(buffer, count, bytesWritten);
}

bool TLocalFileClass::Close() {
  if (!FHANDLE.IsOpen()) return true;
  if (FHANDLE.Close()) return true;
  CurlTrace("CloseHandle failed, win error " + std::to_string(FHANDLE.LastError()));
  return false;
}

}  // namespace korvant
