#pragma once

#include "engine/VoiceLanes.h"

#include <string_view>

namespace zr
{

// A build of the voice kernel for one instruction set: the baseline (two lanes, SSE2 on x86), AVX2
// (four lanes) or AVX-512 (eight lanes), each running a few vectors side by side. All compute
// the same values bit for bit; the widest one the processor supports is chosen at run time, so the
// plug-in itself needs no special processor. Immutable, process-wide.
struct VoiceKernel
{
    const char* name; // "baseline", "avx2", "avx512"
    int width;        // lanes per vector
    int lanes;        // voices per run
    LaneResult (*run)(const LaneRun& run);

    // The widest kernel this processor runs.
    static const VoiceKernel& Best();
    // The kernel of that name when this build has it and this processor runs it, else nullptr.
    static const VoiceKernel* Find(std::string_view name);
};

} // namespace zr
