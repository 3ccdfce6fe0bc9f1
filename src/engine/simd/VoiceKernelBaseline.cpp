// The voice kernel for any processor: two lanes (SSE2 on x86).
#include "engine/simd/Double2.h"
#include "engine/simd/LaneKernel.h"

namespace zr::baseline
{

LaneResult RunLanes(const LaneRun& run)
{
    return lanes::Run<Double2, VoiceLanes::kVectors>(run);
}

} // namespace zr::baseline
