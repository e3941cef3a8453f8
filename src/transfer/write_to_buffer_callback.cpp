#include <string>

#include "transfer/curl_callbacks.h"

namespace korvant {

// Received data appended to the text buffer (a std::string). Returns the bytes taken, or -1
// without a buffer.
std::size_t WriteToBufferCallback(char* data, std::size_t size, std::size_t count, void* buffer) {
  const std::size_t bytes = size * count;
  auto* text = static_cast<std::string*>(buffer);
  if (text == nullptr) return kCallbackFailure;
  text->append(data, bytes);
  return bytes;
}

}  // namespace korvant
