#include "engine/VoiceKernel.h"

namespace zr
{

// The kernels, one per instruction set (engine/simd/VoiceKernel*.cpp).
namespace baseline
{
extern const VoiceKernel kKernel;
}
#ifdef ZR_WIDE_VOICE_KERNELS
namespace avx2
{
extern const VoiceKernel kKernel;
}
namespace avx512
{
extern const VoiceKernel kKernel;
}
#endif

namespace
{
#ifdef ZR_WIDE_VOICE_KERNELS
// __builtin_cpu_supports also checks that the operating system saves the wide registers.
bool Supported(const VoiceKernel& kernel)
{
    if (&kernel == &avx2::kKernel) return __builtin_cpu_supports("avx2");
    if (&kernel == &avx512::kKernel) return __builtin_cpu_supports("avx512f");
    return true;
}
const VoiceKernel* const kKernels[] = {&avx512::kKernel, &avx2::kKernel, &baseline::kKernel}; // widest first
#else
bool Supported(const VoiceKernel&)
{
    return true;
}
const VoiceKernel* const kKernels[] = {&baseline::kKernel};
#endif
} // namespace

const VoiceKernel& VoiceKernel::Best()
{
    static const VoiceKernel* const best = []
    {
        for (const VoiceKernel* kernel : kKernels)
            if (Supported(*kernel)) return kernel;
        return &baseline::kKernel;
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
