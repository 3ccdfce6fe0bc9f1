#pragma once

#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ZR_DOUBLE2_SSE2 1
#include <emmintrin.h>
#else
#include <cmath>
#endif

namespace zr
{

// Two doubles processed together: the lane type of the baseline voice kernel. Every operation is
// the same IEEE double operation on each lane as the scalar code performs, so a value computed in a
// lane is bit for bit the value the scalar code computes. SSE2 where the target has it (every
// x86_64 target, i386 built with -msse2), two plain doubles otherwise.
//
// The lane types (Double2, Double4, Double8) share one interface, which the voice kernel is written
// against: arithmetic, Max, comparisons giving a Mask, Select/Keep/Bits on masks, and the phase
// accumulator and table read of the wave-table oscillator.
struct Double2
{
    static constexpr int kWidth = 2;

    // Phase accumulators and wave-table addresses of the lanes: read one lane at a time, as two
    // scalar reads combined in registers are faster than any two-lane gather.
    struct Phase
    {
        std::uint32_t lane[kWidth];
    };
    struct Tables
    {
        const double* lane[kWidth];
    };

    static Phase LoadPhase(const std::uint32_t* p) { return {{p[0], p[1]}}; }
    static void StorePhase(const Phase& phase, std::uint32_t* p)
    {
        p[0] = phase.lane[0], p[1] = phase.lane[1];
    }
    static Tables LoadTables(const double* const* p) { return {{p[0], p[1]}}; }
    // (phase + increment) & mask in each lane.
    static Phase Advance(Phase phase, Phase increment, std::uint32_t mask)
    {
        return {{(phase.lane[0] + increment.lane[0]) & mask, (phase.lane[1] + increment.lane[1]) & mask}};
    }
    // tables[i][phase[i] >> kShift] in each lane.
    template <int kShift> static Double2 Read(const Tables& tables, const Phase& phase)
    {
        const double first = tables.lane[0][phase.lane[0] >> kShift];
        return Of(first, tables.lane[1][phase.lane[1] >> kShift]);
    }

#ifdef ZR_DOUBLE2_SSE2
    __m128d v;
    using Mask = Double2; // all bits set in a lane that is true

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

    // Lane-wise (mask ? a : b).
    static Double2 Select(Mask mask, Double2 a, Double2 b)
    {
        return {_mm_or_pd(_mm_and_pd(mask.v, a.v), _mm_andnot_pd(mask.v, b.v))};
    }
    // Rows become columns: lane j of row i moves to lane i of row j.
    static void Transpose(Double2 (&rows)[kWidth])
    {
        const __m128d low = _mm_unpacklo_pd(rows[0].v, rows[1].v);
        rows[1].v = _mm_unpackhi_pd(rows[0].v, rows[1].v);
        rows[0].v = low;
    }
    // Lane-wise (mask ? a : +0.0).
    static Double2 Keep(Mask mask, Double2 a)
    {
        return {_mm_and_pd(mask.v, a.v)};
    }
    static Mask GreaterEqual(Double2 a, Double2 b)
    {
        return {_mm_cmpge_pd(a.v, b.v)};
    }
    static Mask LessEqual(Double2 a, Double2 b)
    {
        return {_mm_cmple_pd(a.v, b.v)};
    }
    static Mask NotNan(Double2 a)
    {
        return {_mm_cmpord_pd(a.v, a.v)};
    }
    friend Mask operator&(Mask a, Mask b)
    {
        return {_mm_and_pd(a.v, b.v)};
    }
    friend Mask operator|(Mask a, Mask b)
    {
        return {_mm_or_pd(a.v, b.v)};
    }
    // Bit i set: lane i is true.
    static int Bits(Mask mask)
    {
        return _mm_movemask_pd(mask.v);
    }
    // A mask from one word per lane: all bits set (true) or none (false).
    static Mask LoadMask(const std::uint64_t* p)
    {
        return {_mm_castsi128_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))};
    }
#else
    double v[2];
    using Mask = Double2; // 1.0 in a lane that is true, 0.0 otherwise

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

    static Double2 Select(Mask mask, Double2 a, Double2 b)
    {
        return {{Set(mask.v[0]) ? a.v[0] : b.v[0], Set(mask.v[1]) ? a.v[1] : b.v[1]}};
    }
    static void Transpose(Double2 (&rows)[kWidth])
    {
        const double corner = rows[0].v[1];
        rows[0].v[1] = rows[1].v[0];
        rows[1].v[0] = corner;
    }
    static Double2 Keep(Mask mask, Double2 a)
    {
        return Select(mask, a, Splat(0.0));
    }
    static Mask GreaterEqual(Double2 a, Double2 b)
    {
        return FromBools(a.v[0] >= b.v[0], a.v[1] >= b.v[1]);
    }
    static Mask LessEqual(Double2 a, Double2 b)
    {
        return FromBools(a.v[0] <= b.v[0], a.v[1] <= b.v[1]);
    }
    static Mask NotNan(Double2 a)
    {
        return FromBools(!std::isnan(a.v[0]), !std::isnan(a.v[1]));
    }
    friend Mask operator&(Mask a, Mask b)
    {
        return FromBools(Set(a.v[0]) && Set(b.v[0]), Set(a.v[1]) && Set(b.v[1]));
    }
    friend Mask operator|(Mask a, Mask b)
    {
        return FromBools(Set(a.v[0]) || Set(b.v[0]), Set(a.v[1]) || Set(b.v[1]));
    }
    static int Bits(Mask mask)
    {
        return (Set(mask.v[0]) ? 1 : 0) | (Set(mask.v[1]) ? 2 : 0);
    }
    static Mask LoadMask(const std::uint64_t* p)
    {
        return FromBools(p[0] != 0, p[1] != 0);
    }

private:
    static Mask FromBools(bool a, bool b)
    {
        return {{a ? 1.0 : 0.0, b ? 1.0 : 0.0}};
    }
    static bool Set(double m)
    {
        return m != 0.0;
    }
#endif
};

} // namespace zr
