// The listing parser alone, on the long listing of a large folder as the store's server writes it:
// cutting the text into lines, each line into columns, and the whole walk into entries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "transfer/remote_listing.h"

namespace {

// "ls -l" lines with the shapes a store holds: files dated by time and by year, a few folders,
// names with blanks, and the "." and ".." lines first.
std::string Listing(int lines) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string text =
      "drwxr-xr-x    2 0        0            4096 Jan 15 10:30 .\r\n"
      "drwxr-xr-x    5 0        0            4096 Jan 15 10:30 ..\r\n";
  char line[160];
  for (int i = 0; i < lines - 2; ++i) {
    const bool folder = i % 50 == 0;
    const char* month = kMonths[i % 12];
    if (folder) {
      std::snprintf(line, sizeof line,
                    "drwxr-xr-x    2 1001     1001         4096 %s %2d %02d:%02d Map %06d\r\n",
                    month, 1 + i % 28, i % 24, i % 60, i);
    } else if (i % 3 == 0) {
      std::snprintf(
          line, sizeof line,
          "-rw-r--r--    1 1001     1001     %11d %s %2d  %d Installatie bestand %06d.bin\r\n",
          16384 + i, month, 1 + i % 28, 2015 + i % 9, i);
    } else {
      std::snprintf(line, sizeof line,
                    "-rw-rw-r--    1 1001     1001     %11d %s %2d %02d:%02d setup-%06d.msi\r\n",
                    268435456 - i, month, 1 + i % 28, i % 24, i % 60, i);
    }
    text += line;
  }
  return text;
}

void SplitLinesOnly(benchmark::State& state) {
  const std::string text = Listing(static_cast<int>(state.range(0)));
  std::vector<korvant::RESPQ> lines;
  for (auto _ : state) {
    korvant::SplitLines(text, lines);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void SplitColumnsOnly(benchmark::State& state) {
  const std::string text = Listing(static_cast<int>(state.range(0)));
  std::vector<korvant::RESPQ> lines;
  korvant::SplitLines(text, lines);
  korvant::DIRITEM item;
  for (auto _ : state) {
    for (const auto& line : lines) {
      korvant::SplitListingLine(line.ITEM.Padded(), item);
      benchmark::DoNotOptimize(&item);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What ListDirectory does after the transfer: lines, columns, dates and entries.
void WholeParse(benchmark::State& state) {
  const std::string text = Listing(static_cast<int>(state.range(0)));
  std::vector<korvant::RESPQ> lines;
  korvant::RemoteChildren entries;
  for (auto _ : state) {
    korvant::SplitLines(text, lines);
    entries.clear();
    korvant::AddListingEntries(lines, entries);
    benchmark::DoNotOptimize(entries.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The whole parse followed by the order the installation download walks the entries in.
void ParseAndSort(benchmark::State& state) {
  const std::string text = Listing(static_cast<int>(state.range(0)));
  std::vector<korvant::RESPQ> lines;
  korvant::RemoteChildren entries;
  for (auto _ : state) {
    korvant::SplitLines(text, lines);
    entries.clear();
    korvant::AddListingEntries(lines, entries);
    korvant::SortRemoteChildren(entries);
    benchmark::DoNotOptimize(entries.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(SplitLinesOnly)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitColumnsOnly)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeParse)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseAndSort)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
