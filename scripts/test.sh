#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit module (only what the 32/64-bit chunk comparison
# needs), the normal and the sanitizer configuration, and runs the whole test suite in both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

"$root/scripts/build.sh" build-i386 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i386-linux-gnu.cmake" \
  -DZR_BUILD_TESTS=OFF -DZR_BUILD_BENCH=OFF -DZR_BUILD_TOOLS=OFF

"$root/scripts/build.sh" build -DZR_I386_BUILD_DIR="$root/build-i386"
ctest --test-dir "$root/build" --output-on-failure -j "$(nproc)"

"$root/scripts/build.sh" build-asan -DZR_SANITIZE=ON -DZR_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)"
