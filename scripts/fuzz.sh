#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in build-fuzz and
# runs each for FUZZ_SECONDS (default 60) from its initial corpus in fuzz/corpus/<target>/. New inputs go
# to build-fuzz/corpus/<target>/, crashing inputs to build-fuzz/artifacts/. Exits non-zero on a finding.
# Usage: scripts/fuzz.sh [target...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
build="$root/build-fuzz"

# Target and the longest input it is given (bank images are about 120 KiB).
declare -A max_len=(
  [fuzz_program_state]=131072 [fuzz_bank]=131072 [fuzz_program_files]=131072
  [fuzz_scala]=4096 [fuzz_ini]=4096 [fuzz_midi]=4096 [fuzz_dispatcher]=8192
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_program_state fuzz_bank fuzz_program_files fuzz_scala fuzz_ini fuzz_midi
                                    fuzz_dispatcher)

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is missing (apt-get install clang)" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZR_BUILD_FUZZ=ON -DZR_BUILD_TESTS=OFF -DZR_BUILD_BENCH=OFF -DZR_BUILD_TOOLS=OFF >/dev/null
# Only the fuzz targets: the plug-in module itself is not linked in this configuration.
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

mkdir -p "$build/artifacts"
status=0
summary=()
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  mkdir -p "$work"
  log="$build/$target.log"
  echo "== $target: ${seconds} s"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/$target" "$work" "$root/fuzz/corpus/$target" -max_total_time="$seconds" \
    -max_len="${max_len[$target]}" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
    tail -n 60 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("$target: $result, ${runs:-?} executions in ${seconds} s")
done
printf '%s\n' "${summary[@]}"
exit $status
