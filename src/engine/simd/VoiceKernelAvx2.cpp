// The voice kernel for processors with AVX2: four vectors of four lanes. Built with -mavx2 (no FMA:
// every product and sum is rounded on its own, as in the other kernels); only called when the
// processor has AVX2.
#include "engine/VoiceKernel.h"
#include "engine/simd/Double4.h"
#include "engine/simd/LaneKernel.h"

namespace zr::avx2
{

namespace
{
constexpr int kVectors = 4;
static_assert(Double4::kWidth * kVectors <= VoiceLanes::kMax);

LaneResult RunLanes(const LaneRun& run)
{
    return lanes::Run<Double4, kVectors>(run);
}
} // namespace

extern const VoiceKernel kKernel = {"avx2", Double4::kWidth, Double4::kWidth* kVectors, &RunLanes};

} // namespace zr::avx2
