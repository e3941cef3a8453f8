#pragma once

#include <string>
#include <vector>

namespace korvant::testing {

// The debugger output of this test program goes to a file of its own (set before the first line
// is written); a capture holds the lines written since it was made.
class TraceCapture {
 public:
  TraceCapture();
  std::vector<std::string> Lines() const;
  bool Contains(const std::string& line) const;
  bool AnyStartsWith(const std::string& prefix) const;

 private:
  std::size_t start_ = 0;
};

}  // namespace korvant::testing
