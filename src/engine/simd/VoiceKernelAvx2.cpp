// The voice kernel for processors with AVX2: four vectors of four lanes. Built with -mavx2 (no FMA:
// every product and sum is rounded on its own, as in the other kernels); only called when the
// processor has AVX2.
#include "engine/simd/Double4.h"
#include "engine/simd/LaneKernel.h"

namespace zr::avx2
{

extern const VoiceKernel kKernel = lanes::MakeKernel<Double4, 4>("avx2");

} // namespace zr::avx2
