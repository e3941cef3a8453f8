#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace korvant {

// Custom texts for libcurl result codes. The texts are not copied: whoever adds one keeps it alive
// for as long as the queue lives.
struct CurlErrorRecord {
  std::int32_t ID = 0;
  std::string_view MESSAGE;
};

class TCurlErrorQueue {
 public:
  void Add(std::int32_t id, std::string_view message) { records_.push_back({id, message}); }
  // The first record for the code, or null.
  const CurlErrorRecord* Find(std::int32_t id) const {
    for (const auto& record : records_) {
      if (record.ID == id) return &record;
    }
    return nullptr;
  }
  std::size_t Count() const { return records_.size(); }

 private:
  std::vector<CurlErrorRecord> records_;
};

}  // namespace korvant
