#include "trace_capture.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvant::testing {
namespace {

namespace fs = std::filesystem;

struct TraceFile {
  fs::path path;
  TraceFile() {
    path = fs::temp_directory_path() / ("korvant-trace-" + std::to_string(getpid()) + ".log");
    fs::remove(path);
    setenv("KORVANT_DEBUG_OUTPUT", path.c_str(), 1);
  }
  ~TraceFile() {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
};

const TraceFile& File() {
  static const TraceFile file;
  return file;
}

// Set before any test runs, so the program's first trace line already goes there.
const bool kTraceFileReady = (File(), true);

std::string Content() {
  std::ifstream in(File().path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

TraceCapture::TraceCapture() : start_(Content().size()) {
  (void)kTraceFileReady;
}

std::vector<std::string> TraceCapture::Lines() const {
  const std::string text = Content().substr(start_);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool TraceCapture::Contains(const std::string& line) const {
  const auto lines = Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool TraceCapture::AnyStartsWith(const std::string& prefix) const {
  const auto lines = Lines();
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

}  // namespace korvant::testing
