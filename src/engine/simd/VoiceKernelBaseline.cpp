// The voice kernel for any processor: four vectors of two lanes (SSE2 on x86). Four chains of
// two voices keep the SSE2 units busy; more would not fit the sixteen vector registers.
#include "engine/VoiceKernel.h"
#include "engine/simd/Double2.h"
#include "engine/simd/LaneKernel.h"

namespace zr::baseline
{

namespace
{
constexpr int kVectors = 4;
static_assert(Double2::kWidth * kVectors <= VoiceLanes::kMax);

LaneResult RunLanes(const LaneRun& run)
{
    return lanes::Run<Double2, kVectors>(run);
}
} // namespace

extern const VoiceKernel kKernel = {"baseline", Double2::kWidth, Double2::kWidth* kVectors, &RunLanes};

} // namespace zr::baseline
