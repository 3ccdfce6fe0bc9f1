// The voice kernel for processors with AVX2: four lanes. Built with -mavx2 (no FMA: every product
// and sum is rounded on its own, as in the other kernels); only called when the processor has AVX2.
#include "engine/simd/Double4.h"
#include "engine/simd/LaneKernel.h"

namespace zr::avx2
{

LaneResult RunLanes(const LaneRun& run)
{
    return lanes::Run<Double4, VoiceLanes::kVectors>(run);
}

} // namespace zr::avx2
