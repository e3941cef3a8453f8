#!/usr/bin/env bash
# Builds everything and runs every test, the real-store tests included. Run as root on Debian 12:
# it installs what is missing, and the store (OpenSSH's sshd in a chroot) needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
build=${KORVANT_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DKORVANT_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
