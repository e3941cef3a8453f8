#pragma once

#include <cstddef>

namespace korvant {

// The functions libcurl calls during a transfer, with libcurl's callback signatures. Each lives in
// its own file with its contract. -1 is the all-ones size_t: it never equals what libcurl asked
// for, so libcurl fails the transfer.
std::size_t WriteToFileCallback(char* data, std::size_t size, std::size_t count, void* stream);
std::size_t ReadFromFileCallback(char* buffer, std::size_t size, std::size_t count, void* stream);
std::size_t WriteToBufferCallback(char* data, std::size_t size, std::size_t count, void* buffer);
long ChunkBeginCallback(const void* fileInfo, void* stream, int remaining);
long ChunkEndCallback(void* stream);
int ProgressCallback(void* object, double dltotal, double dlnow, double ultotal, double ulnow);
int DebugCallback(void* handle, int infoType, char* data, std::size_t size, void* object);

inline constexpr std::size_t kCallbackFailure = static_cast<std::size_t>(-1);

}  // namespace korvant
