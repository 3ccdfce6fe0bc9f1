// The voice kernel for any processor: four vectors of two lanes (SSE2 on x86). Four chains of
// two voices keep the SSE2 units busy; more would not fit the sixteen vector registers.
#include "engine/simd/Double2.h"
#include "engine/simd/LaneKernel.h"

namespace zr::baseline
{

extern const VoiceKernel kKernel = lanes::MakeKernel<Double2, 4>("baseline");

} // namespace zr::baseline
