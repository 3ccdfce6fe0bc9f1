#pragma once

#if defined(__SSE2__)
#include <pmmintrin.h>
#include <xmmintrin.h>
#endif

namespace zr
{

// Sets flush-to-zero and denormals-are-zero for the lifetime of the object and restores the
// caller's floating-point mode afterwards. Used around every process call (audio thread).
// On targets without SSE2 it does nothing.
class DenormalGuard
{
public:
#if defined(__SSE2__)
    DenormalGuard() : mSaved(_mm_getcsr())
    {
        _mm_setcsr(mSaved | kFlushToZero | kDenormalsAreZero);
    }
    ~DenormalGuard()
    {
        _mm_setcsr(mSaved);
    }
#else
    DenormalGuard() = default;
#endif
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

#if defined(__SSE2__)
    static constexpr unsigned kFlushToZero = _MM_FLUSH_ZERO_ON;          // MXCSR bit 15
    static constexpr unsigned kDenormalsAreZero = _MM_DENORMALS_ZERO_ON; // MXCSR bit 6

private:
    unsigned mSaved;
#endif
};

} // namespace zr
