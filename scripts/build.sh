#!/usr/bin/env bash
# Configures and builds one configuration: scripts/build.sh <build-dir> [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
# Of the configure output only the project's own notes (how a cross build's programs run here).
cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" | { grep '^-- ZR-4400:' || true; }
cmake --build "$root/$dir" -j "$(nproc)"
