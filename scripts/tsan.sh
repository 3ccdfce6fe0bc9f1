#!/usr/bin/env bash
# ThreadSanitizer configuration: builds build-tsan with -fsanitize=thread and runs the tests in which
# host threads meet inside one instance (automation, editor, dispatcher and audio at once).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZR_BUILD_BENCH=OFF -DZR_BUILD_TOOLS=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_MODULE_LINKER_FLAGS=-fsanitize=thread \
  -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build "$root/build-tsan" -j "$(nproc)" --target hostile_tests plugin_tests graphics_tests zr4400module
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
"$root/build-tsan/tests/hostile/hostile_tests" --gtest_filter='HostileHostTest.AutomationEditorAndDispatcherThreadsWhileAudioRuns'
"$root/build-tsan/tests/plugin/plugin_tests" --gtest_filter='IPlugVSTTest.AutomationAudioAndChunkThreadsInterleaveSafely'
"$root/build-tsan/tests/editor/graphics/graphics_tests" --gtest_filter='GraphicsThreads.*'
