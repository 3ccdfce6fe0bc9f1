#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer configuration
# and runs the whole test suite in both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

"$root/scripts/build.sh" build
ctest --test-dir "$root/build" --output-on-failure -j "$(nproc)"

"$root/scripts/build.sh" build-asan -DZR_SANITIZE=ON -DZR_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)"
