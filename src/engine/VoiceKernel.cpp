#include "engine/VoiceKernel.h"

namespace zr
{

// The kernels' entry points, one per instruction set (engine/simd/VoiceKernel*.cpp).
namespace baseline
{
LaneResult RunLanes(const LaneRun& run);
}
#ifdef ZR_WIDE_VOICE_KERNELS
namespace avx2
{
LaneResult RunLanes(const LaneRun& run);
}
namespace avx512
{
LaneResult RunLanes(const LaneRun& run);
}
#endif

namespace
{
constexpr int kVectors = VoiceLanes::kVectors;

constexpr VoiceKernel kBaseline = {"baseline", 2, 2 * kVectors, &baseline::RunLanes};
#ifdef ZR_WIDE_VOICE_KERNELS
constexpr VoiceKernel kAvx2 = {"avx2", 4, 4 * kVectors, &avx2::RunLanes};
constexpr VoiceKernel kAvx512 = {"avx512", 8, 8 * kVectors, &avx512::RunLanes};
static_assert(kAvx512.lanes <= VoiceLanes::kMax);

// __builtin_cpu_supports also checks that the operating system saves the wide registers.
bool Supported(const VoiceKernel& kernel)
{
    if (&kernel == &kAvx2) return __builtin_cpu_supports("avx2");
    if (&kernel == &kAvx512) return __builtin_cpu_supports("avx512f");
    return true;
}
constexpr const VoiceKernel* kKernels[] = {&kAvx512, &kAvx2, &kBaseline}; // widest first
#else
bool Supported(const VoiceKernel&)
{
    return true;
}
constexpr const VoiceKernel* kKernels[] = {&kBaseline};
#endif
} // namespace

const VoiceKernel& VoiceKernel::Best()
{
    static const VoiceKernel* const best = []
    {
        for (const VoiceKernel* kernel : kKernels)
            if (Supported(*kernel)) return kernel;
        return &kBaseline;
    }();
    return *best;
}

const VoiceKernel* VoiceKernel::Find(std::string_view name)
{
    for (const VoiceKernel* kernel : kKernels)
        if (kernel->name == name) return Supported(*kernel) ? kernel : nullptr;
    return nullptr;
}

} // namespace zr
