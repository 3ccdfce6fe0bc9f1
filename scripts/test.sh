#!/usr/bin/env bash
# Installs what is missing, builds the normal configuration, the 32-bit module (only what the
# 32/64-bit chunk comparison needs, with the normal build's build-time programs) and the sanitizer
# configuration, and runs the whole test suite in both; then the tests that run 32-bit programs
# once more through the emulator, as on machines whose kernel cannot run them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

"$root/scripts/build.sh" build -DZR_I386_BUILD_DIR="$root/build-i386"
"$root/scripts/build.sh" build-i386 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i386-linux-gnu.cmake" \
  -DZR_HOST_TOOLS="$root/build" -DZR_FORCE_EMULATOR=OFF -DZR_BUILD_TESTS=OFF -DZR_BUILD_BENCH=OFF -DZR_BUILD_TOOLS=OFF
ctest --test-dir "$root/build" --output-on-failure -j "$(nproc)"

# Reconfiguring the 32-bit build changes how its programs are run, not what is built.
cmake -S "$root" -B "$root/build-i386" -DZR_FORCE_EMULATOR=ON | { grep '^-- ZR-4400:' || true; }
ctest --test-dir "$root/build" --output-on-failure -L i386
cmake -S "$root" -B "$root/build-i386" -DZR_FORCE_EMULATOR=OFF >/dev/null

"$root/scripts/build.sh" build-asan -DZR_SANITIZE=ON -DZR_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)"

# Threads under ThreadSanitizer, then every fuzz target for a bounded time (FUZZ_SECONDS, default 60).
"$root/scripts/tsan.sh"
"$root/scripts/fuzz.sh"
