#!/usr/bin/env python3
"""Prints the table of a benchmark run (scripts/bench.sh).

    report.py <results.tsv> <parser.json> <runs> <suite seconds>

results.tsv holds one line per timed run: case, tool, seconds, bytes, peak memory in KiB of the
program's driver (or "-"). parser.json is Google Benchmark's output of korvant_listing_bench.
"""
import json
import re
import statistics
import sys
from collections import OrderedDict

PEERS = ("curl", "sftp", "zip -0 -r")


def load(path):
    cases = OrderedDict()
    with open(path) as f:
        for line in f:
            case, tool, seconds, size, rss = line.rstrip("\n").split("\t")
            runs = cases.setdefault(case, OrderedDict()).setdefault(tool, [])
            runs.append((float(seconds), int(size), None if rss == "-" else int(rss)))
    return cases


def files_in(case):
    match = re.search(r"(\d+) x ", case)
    return int(match.group(1)) if match else 0


def verdict(ok):
    return "met" if ok else "MISSED"


def main():
    cases = load(sys.argv[1])
    with open(sys.argv[2]) as f:
        parser = json.load(f)
    runs, suite_seconds = int(sys.argv[3]), int(sys.argv[4])

    medians = {}
    print()
    print(f"Medians of {runs} runs per case and tool, alternating order; MB = 10^6 bytes.")
    print("'x curl' and 'x sftp' are the peer's median time over the program's: above 1 the "
          "program is faster.")
    print()
    header = f"{'case':<32} {'tool':<10} {'median s':>9} {'min..max s':>15} {'MB/s':>8} " \
             f"{'ms/file':>8} {'x curl':>7} {'x sftp':>7} {'x zip':>7}"
    print(header)
    print("-" * len(header))
    for case, tools in cases.items():
        if case.startswith("memory") or case.startswith("buffer"):
            continue
        for tool, samples in tools.items():
            times = [s for s, _, _ in samples]
            median = statistics.median(times)
            medians[(case, tool)] = median
            size = samples[0][1]
            rate = f"{size / median / 1e6:8.1f}" if size else f"{'-':>8}"
            count = files_in(case)
            per_file = f"{median / count * 1000:8.1f}" if count > 1 else f"{'-':>8}"
            ratios = []
            for peer in PEERS:
                if tool == "program" and peer in tools:
                    ratios.append(f"{statistics.median(s for s, _, _ in tools[peer]) / median:7.2f}")
                else:
                    ratios.append(f"{'':>7}")
            spread = f"{min(times):.3f}..{max(times):.3f}"
            print(f"{case:<32} {tool:<10} {median:9.3f} {spread:>15} {rate} {per_file} "
                  + " ".join(ratios))
        print()

    # Peak memory of the program's driver during its transfers.
    memory = OrderedDict()
    for case, tools in cases.items():
        if case.startswith("memory"):
            memory[case] = statistics.median(r for _, _, r in tools["program"]) / 1024
    if memory:
        print("Peak memory (maxrss) of the program's process, median:")
        for case, mib in memory.items():
            print(f"  {case:<28} {mib:7.1f} MiB")
        print()

    buffers = [(c, t) for c, t in cases.items() if c.startswith("buffer")]
    if buffers:
        print("Transfer steps with other buffer sizes, 64 MiB (median MB/s):")
        for case, tools in buffers:
            samples = tools["program"]
            median = statistics.median(s for s, _, _ in samples)
            print(f"  {case:<32} {samples[0][1] / median / 1e6:7.1f}")
        print()

    # Medians of the repetitions; a single repetition gives no aggregates, only its own figure.
    parse = {}
    benches = parser.get("benchmarks", [])
    wanted = "median" if any(b.get("aggregate_name") == "median" for b in benches) else None
    for bench in benches:
        if bench.get("aggregate_name") == wanted:
            parse[bench["run_name"]] = bench["real_time"]  # milliseconds
    if parse:
        print("Listing parser alone, median ms (Google Benchmark):")
        for name, ms in parse.items():
            print(f"  {name:<28} {ms:9.2f} ms")
        print()

    print("Targets:")

    def ratio(case, peer):
        a, b = medians.get((case, "program")), medians.get((case, peer))
        return None if a is None or b is None else b / a

    def rate(case):
        tools = cases.get(case)
        if not tools or (case, "program") not in medians:
            return None
        return tools["program"][0][1] / medians[(case, "program")] / 1e6

    for case in cases:
        if case.startswith("loopback download"):
            vs_sftp, vs_curl = ratio(case, "sftp"), ratio(case, "curl")
            if vs_sftp and vs_curl:
                print(f"  {case}: {1 / vs_sftp:.2f}x sftp's time (at most 1.05: "
                      f"{verdict(1 / vs_sftp <= 1.05)}), {1 / vs_curl:.2f}x curl's time "
                      f"(at most 1.00: {verdict(1 / vs_curl <= 1.0)})")
        if case.startswith("loopback upload"):
            vs_curl = ratio(case, "curl")
            if vs_curl:
                print(f"  {case}: {vs_curl:.2f}x faster than curl (at least 1.4: "
                      f"{verdict(vs_curl >= 1.4)})")
        if case.startswith("20 ms") and " 1 x " in case:
            need = 40 if "download" in case else 25
            r = rate(case)
            if r:
                print(f"  {case}: {r:.1f} MB/s (at least {need}: {verdict(r >= need)})")
    sizes = [(int(re.search(r"(\d+) MiB", c).group(1)), c, m) for c, m in memory.items()]
    for direction in ("download", "upload"):
        points = sorted((s, m) for s, c, m in sizes if direction in c)
        if len(points) >= 2:
            (small, m_small), (big, m_big) = points[0], points[-1]
            # Flat: the larger file costs no more than a few MiB of extra memory.
            print(f"  peak memory, {direction}: {m_small:.1f} MiB at {small} MiB, {m_big:.1f} MiB "
                  f"at {big} MiB (flat: {verdict(m_big - m_small <= 4)})")
    listing = next((c for c in cases if c.startswith("listing")), None)
    if listing and "WholeParse/100000" in parse and "WholeParse/10000" in parse:
        entries = int(re.search(r"(\d+) entries", listing).group(1))
        transfer_ms = (medians[(listing, "program")] * 1000 - parse["WholeParse/10000"]) \
            * (100000 / entries)
        share = parse["WholeParse/100000"] / transfer_ms
        print(f"  parse of 100,000 lines: {parse['WholeParse/100000']:.1f} ms against about "
              f"{transfer_ms:.0f} ms to fetch them at the rate of the {entries}-entry listing "
              f"({share:.0%}; well under, at most 25%: {verdict(share <= 0.25)})")
    print()
    print(f"Suite run time: {suite_seconds // 60} min {suite_seconds % 60} s")


if __name__ == "__main__":
    main()
