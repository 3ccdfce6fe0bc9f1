// The voice kernel for processors with AVX-512F: two vectors of eight lanes (measured faster than
// three or four: the sample loop then keeps its state in registers). Built with -mavx512f (no FMA,
// as the other kernels); only called when the processor has AVX-512F.
#include "engine/simd/Double8.h"
#include "engine/simd/LaneKernel.h"

namespace zr::avx512
{

extern const VoiceKernel kKernel = lanes::MakeKernel<Double8, 2>("avx512");

} // namespace zr::avx512
