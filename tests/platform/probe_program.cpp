#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
  if (const char* out = std::getenv("KORVANT_PROBE_OUT")) {
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    for (int i = 1; i < argc; ++i) file << argv[i] << '\n';
  }
  return argc > 1 ? std::atoi(argv[1]) : 0;
}
