#!/usr/bin/env bash
# Builds everything and runs every test, the real-store tests included. Run as root on Debian 12:
# it installs what is missing, and the store (OpenSSH's sshd in a chroot) needs root.
#
#   scripts/test.sh [stage...]      stages: normal sanitize fuzz (default: all three, in order)
#
#   normal    the plain build and the whole test suite            (KORVANT_BUILD_DIR, default build)
#   sanitize  the whole suite again built with AddressSanitizer and UndefinedBehaviorSanitizer,
#             leaks checked                                 (KORVANT_ASAN_BUILD_DIR, default build-asan)
#   fuzz      the libFuzzer targets built with clang and each run briefly, so they keep building
#             and their seeds keep passing               (KORVANT_FUZZ_BUILD_DIR, default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)

stage_normal() {
  local build=${KORVANT_BUILD_DIR:-build}
  cmake -S . -B "$build" -G Ninja -DKORVANT_BUILD_TESTS=ON >/dev/null
  cmake --build "$build" -j "$jobs"
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
}

stage_sanitize() {
  local build=${KORVANT_ASAN_BUILD_DIR:-build-asan}
  cmake -S . -B "$build" -G Ninja -DKORVANT_BUILD_TESTS=ON -DKORVANT_BUILD_BENCHMARKS=OFF \
    -DKORVANT_SANITIZE=ON >/dev/null
  cmake --build "$build" -j "$jobs"
  # Every finding ends the program that made it, so the test that ran it fails; the programs the
  # tests start (the stand-ins, the uploader itself) inherit the same settings.
  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$build" --output-on-failure -j "$jobs"
}

stage_fuzz() {
  # Ten seconds per target: a minute in all.
  KORVANT_FUZZ_JOBS=$jobs scripts/fuzz.sh 10
}

stages=("$@")
((${#stages[@]})) || stages=(normal sanitize fuzz)
for stage in "${stages[@]}"; do
  case $stage in
    normal | sanitize | fuzz) ;;
    *)
      echo "test.sh: unknown stage '$stage' (normal, sanitize, fuzz)" >&2
      exit 2
      ;;
  esac
done
for stage in "${stages[@]}"; do
  echo "=== $stage"
  "stage_$stage"
done
