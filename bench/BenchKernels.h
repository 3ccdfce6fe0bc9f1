#pragma once

#include "engine/VoiceKernel.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace zr
{

// A benchmark argument that picks the voice kernel: -1 the one the plug-in runs here (the widest
// this processor has), 0 baseline, 1 avx2, 2 avx512. Skips the benchmark, returning nullptr, when
// this build or processor lacks the kernel.
inline const VoiceKernel* KernelArg(benchmark::State& state, std::int64_t arg)
{
    static constexpr std::array kNames = {"baseline", "avx2", "avx512"};
    if (arg < 0) return &VoiceKernel::Best();
    const VoiceKernel* kernel =
        arg < static_cast<std::int64_t>(kNames.size()) ? VoiceKernel::Find(kNames[arg]) : nullptr;
    if (!kernel) state.SkipWithError("this voice kernel is not available here");
    return kernel;
}

} // namespace zr
