// The voice kernel for processors with AVX-512F: eight lanes. Built with -mavx512f (no FMA, as the
// other kernels); only called when the processor has AVX-512F.
#include "engine/simd/Double8.h"
#include "engine/simd/LaneKernel.h"

namespace zr::avx512
{

LaneResult RunLanes(const LaneRun& run)
{
    return lanes::Run<Double8, VoiceLanes::kVectors>(run);
}

} // namespace zr::avx512
