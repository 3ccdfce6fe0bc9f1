#!/usr/bin/env bash
# The main job in one command: installs what is missing, builds the release configuration into
# ./build when it is not built yet (or is out of date), and renders examples/demo.mid through the
# built ZR-4400 module with program 0 of the factory bank ("PAD: Waves of Sin") into demo.wav.
# zr4400-render prints the peak, the RMS and the real-time factor.
# Usage: bash scripts/demo.sh [OUT.wav]   (default: demo.wav in the current folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-demo.wav}

"$root/scripts/install-deps.sh"

# Only the module and the render tool: the tests are built by scripts/test.sh.
if [ ! -f "$root/build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$root/build" -j "$(nproc)" --target zr4400module zr4400-render

"$root/build/tools/render/zr4400-render" --plugin "$root/build/ZR440064.so" --program 0 \
  -o "$out" "$root/examples/demo.mid"
