#pragma once

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ZR_DOUBLE2_SSE2 1
#include <emmintrin.h>
#else
#include <cmath>
#endif

namespace zr
{

// Two doubles processed together: the lane type of the voices' side-by-side render path. Every
// operation is the same IEEE double operation on each lane as the scalar code performs, so a value
// computed in a lane is bit for bit the value the scalar code computes. SSE2 where the target has
// it (every x86_64 target, i386 built with -msse2), two plain doubles otherwise.
struct Double2
{
#ifdef ZR_DOUBLE2_SSE2
    __m128d v;

    static Double2 Load(const double* p)
    {
        return {_mm_loadu_pd(p)};
    }
    static Double2 Splat(double x)
    {
        return {_mm_set1_pd(x)};
    }
    static Double2 Of(double lane0, double lane1)
    {
        return {_mm_set_pd(lane1, lane0)};
    }
    void Store(double* p) const
    {
        _mm_storeu_pd(p, v);
    }

    friend Double2 operator+(Double2 a, Double2 b)
    {
        return {_mm_add_pd(a.v, b.v)};
    }
    friend Double2 operator-(Double2 a, Double2 b)
    {
        return {_mm_sub_pd(a.v, b.v)};
    }
    friend Double2 operator*(Double2 a, Double2 b)
    {
        return {_mm_mul_pd(a.v, b.v)};
    }
    friend Double2 operator-(Double2 a)
    {
        return {_mm_xor_pd(a.v, _mm_set1_pd(-0.0))};
    }
    // Lane-wise a > b ? a : b (b when either is NaN).
    static Double2 Max(Double2 a, Double2 b)
    {
        return {_mm_max_pd(a.v, b.v)};
    }

    // Lane-wise (c ? a : b) for a mask from one of the comparisons below.
    static Double2 Select(Double2 mask, Double2 a, Double2 b)
    {
        return {_mm_or_pd(_mm_and_pd(mask.v, a.v), _mm_andnot_pd(mask.v, b.v))};
    }
    static Double2 GreaterEqual(Double2 a, Double2 b)
    {
        return {_mm_cmpge_pd(a.v, b.v)};
    }
    static Double2 LessEqual(Double2 a, Double2 b)
    {
        return {_mm_cmple_pd(a.v, b.v)};
    }
    static Double2 NotNan(Double2 a)
    {
        return {_mm_cmpord_pd(a.v, a.v)};
    }
    friend Double2 operator&(Double2 a, Double2 b)
    {
        return {_mm_and_pd(a.v, b.v)};
    }
    friend Double2 operator|(Double2 a, Double2 b)
    {
        return {_mm_or_pd(a.v, b.v)};
    }
    // Bit 0 and bit 1: lanes whose mask is set.
    int Bits() const
    {
        return _mm_movemask_pd(v);
    }
    static Double2 Mask(bool a, bool b)
    {
        return {_mm_castsi128_pd(_mm_set_epi32(b ? -1 : 0, b ? -1 : 0, a ? -1 : 0, a ? -1 : 0))};
    }
#else
    double v[2];

    static Double2 Load(const double* p)
    {
        return {{p[0], p[1]}};
    }
    static Double2 Splat(double x)
    {
        return {{x, x}};
    }
    static Double2 Of(double lane0, double lane1)
    {
        return {{lane0, lane1}};
    }
    void Store(double* p) const
    {
        p[0] = v[0], p[1] = v[1];
    }

    friend Double2 operator+(Double2 a, Double2 b)
    {
        return {{a.v[0] + b.v[0], a.v[1] + b.v[1]}};
    }
    friend Double2 operator-(Double2 a, Double2 b)
    {
        return {{a.v[0] - b.v[0], a.v[1] - b.v[1]}};
    }
    friend Double2 operator*(Double2 a, Double2 b)
    {
        return {{a.v[0] * b.v[0], a.v[1] * b.v[1]}};
    }
    friend Double2 operator-(Double2 a)
    {
        return {{-a.v[0], -a.v[1]}};
    }
    static Double2 Max(Double2 a, Double2 b)
    {
        return {{a.v[0] > b.v[0] ? a.v[0] : b.v[0], a.v[1] > b.v[1] ? a.v[1] : b.v[1]}};
    }

    static Double2 Select(Double2 mask, Double2 a, Double2 b)
    {
        return {{Set(mask.v[0]) ? a.v[0] : b.v[0], Set(mask.v[1]) ? a.v[1] : b.v[1]}};
    }
    static Double2 GreaterEqual(Double2 a, Double2 b)
    {
        return Mask(a.v[0] >= b.v[0], a.v[1] >= b.v[1]);
    }
    static Double2 LessEqual(Double2 a, Double2 b)
    {
        return Mask(a.v[0] <= b.v[0], a.v[1] <= b.v[1]);
    }
    static Double2 NotNan(Double2 a)
    {
        return Mask(!std::isnan(a.v[0]), !std::isnan(a.v[1]));
    }
    friend Double2 operator&(Double2 a, Double2 b)
    {
        return {{Set(a.v[0]) ? b.v[0] : 0.0, Set(a.v[1]) ? b.v[1] : 0.0}};
    }
    friend Double2 operator|(Double2 a, Double2 b)
    {
        return Mask(Set(a.v[0]) || Set(b.v[0]), Set(a.v[1]) || Set(b.v[1]));
    }
    int Bits() const
    {
        return (Set(v[0]) ? 1 : 0) | (Set(v[1]) ? 2 : 0);
    }
    // Masks are 1.0 (set) and 0.0 in the portable form.
    static Double2 Mask(bool a, bool b)
    {
        return {{a ? 1.0 : 0.0, b ? 1.0 : 0.0}};
    }

private:
    static bool Set(double m)
    {
        return m != 0.0;
    }
#endif
};

} // namespace zr
