// The voice kernel for processors with AVX-512F: two vectors of eight lanes (measured faster than
// three or four: the sample loop then keeps its state in registers). Built with -mavx512f (no FMA,
// as the other kernels); only called when the processor has AVX-512F.
#include "engine/VoiceKernel.h"
#include "engine/simd/Double8.h"
#include "engine/simd/LaneKernel.h"

namespace zr::avx512
{

namespace
{
constexpr int kVectors = 2;
static_assert(Double8::kWidth * kVectors <= VoiceLanes::kMax);

LaneResult RunLanes(const LaneRun& run)
{
    return lanes::Run<Double8, kVectors>(run);
}
} // namespace

extern const VoiceKernel kKernel = {"avx512", Double8::kWidth, Double8::kWidth* kVectors, &RunLanes};

} // namespace zr::avx512
