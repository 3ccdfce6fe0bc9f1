#!/usr/bin/env bash
# Counts the instructions the engine executes per sample and per voice-sample, with valgrind's
# callgrind, for held chords of 0, 1, 16 and 64 keys (0, 3, 48 and 192 sounding voices).
# Instruction counts do not depend on the machine's load, unlike wall or CPU times.
#
#   scripts/bench-callgrind.sh [build-dir] [sample rate] [block size] [seconds] [patched]
#
# "patched" patches every modulation source (pitch and cutoff then move on every sample).
#
# Only the measured render (after a 50 ms settle, set-up and table building excluded) is counted:
# callgrind's --toggle-collect limits collection to MeasuredRender in zr4400-count.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
rate=${2:-44100}
block=${3:-512}
seconds=${4:-0.5}
patched=${5:-}
count="$root/$build/bench/zr4400-count"
[[ -x $count ]] || { echo "missing $count: build with -DZR_BUILD_BENCH=ON" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -r -- "$work"' EXIT

printf '%-6s %-7s %-14s %-14s %-12s %-14s\n' keys voices instructions "Ir/sample" "Ir/voice-smp" "voice-samples"
for keys in 0 1 16 64; do
    out="$work/callgrind.$keys"
    report=$(valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no \
        --toggle-collect='*MeasuredRender*' "$count" "$keys" "$rate" "$block" "$seconds" $patched 2>/dev/null)
    samples=$(awk '/^samples/ {print $2}' <<<"$report")
    voiceSamples=$(awk '/^voice-samples/ {print $2}' <<<"$report")
    ir=$(awk '/^(summary|totals):/ {print $2; exit}' "$out")
    awk -v k="$keys" -v ir="$ir" -v s="$samples" -v vs="$voiceSamples" 'BEGIN {
        voices = vs / s
        printf "%-6d %-7.0f %-14d %-14.1f %-12s %-14d\n", k, voices, ir, ir / s,
            (vs > 0 ? sprintf("%.1f", ir / vs) : "-"), vs }'
done
