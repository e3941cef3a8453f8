#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each in turn for a set time.
#
#   scripts/fuzz.sh [seconds-per-target] [target...]
#
# Default 600 seconds per target, every target. Each target starts from its seed corpus in
# fuzz/corpus/<target> and grows a working corpus in <build>/fuzz-work/<target> (the seeds in the
# repository stay small). The first finding stops the run: the input that broke the target is
# saved in <build>/fuzz-findings/<target>/ and the script exits non-zero. Reproduce it with
#   <build>/bin/<target> <saved input>
# Environment: KORVANT_FUZZ_BUILD_DIR (default build-fuzz), KORVANT_FUZZ_JOBS (build jobs).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift $(($# > 0 ? 1 : 0))
build=$(realpath -m "${KORVANT_FUZZ_BUILD_DIR:-build-fuzz}")
repo=$(pwd)
jobs=${KORVANT_FUZZ_JOBS:-$(nproc)}

all_targets=()
for source in fuzz/fuzz_*.cpp; do
  all_targets+=("$(basename "$source" .cpp)")
done
targets=("${@:-${all_targets[@]}}")

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DKORVANT_BUILD_FUZZERS=ON \
  -DKORVANT_BUILD_TESTS=OFF -DKORVANT_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

# Larger inputs only slow the search down; archives need a little more room.
max_len() {
  case $1 in
    fuzz_zip_expand) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

# The targets expand archives and make folders in scratch folders of their own: in memory where
# possible, as the disk would slow them down a hundredfold, and never in the repository.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch=$(mktemp -d /dev/shm/korvant-fuzz.XXXXXX)
else
  mkdir -p "$build/fuzz-tmp"
  scratch=$(mktemp -d "$build/fuzz-tmp/run.XXXXXX")
fi
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch

for target in "${targets[@]}"; do
  work=$build/fuzz-work/$target
  findings=$build/fuzz-findings/$target
  mkdir -p "$work" "$findings"
  options=(-max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=20
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f "fuzz/$target.dict" ] && options+=(-dict="$repo/fuzz/$target.dict")
  echo "== $target: ${seconds}s"
  if ! "$build/bin/$target" "${options[@]}" "$work" "$repo/fuzz/corpus/$target" 2>"$build/fuzz-$target.log"; then
    tail -n 40 "$build/fuzz-$target.log" >&2
    echo "$target found a fault; the input is in $findings/" >&2
    exit 1
  fi
  grep -aE '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$build/fuzz-$target.log" |
    sed 's/^/   /'
done
echo "No findings."
