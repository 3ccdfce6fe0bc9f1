#pragma once

// Four doubles in an AVX register: the lane type of the AVX2 voice kernel. Only the translation
// unit built for AVX2 includes this header (see engine/VoiceKernel.h); its interface is Double2's.
#include <cstdint>
#include <immintrin.h>

namespace zr::avx2
{

struct Double4
{
    static constexpr int kWidth = 4;

    __m256d v;
    using Mask = Double4; // all bits set in a lane that is true
    using Phase = __m128i;
    using Tables = __m256i;

    static Double4 Load(const double* p) { return {_mm256_loadu_pd(p)}; }
    static Double4 Splat(double x) { return {_mm256_set1_pd(x)}; }
    void Store(double* p) const { _mm256_storeu_pd(p, v); }

    friend Double4 operator+(Double4 a, Double4 b) { return {_mm256_add_pd(a.v, b.v)}; }
    friend Double4 operator-(Double4 a, Double4 b) { return {_mm256_sub_pd(a.v, b.v)}; }
    friend Double4 operator*(Double4 a, Double4 b) { return {_mm256_mul_pd(a.v, b.v)}; }
    friend Double4 operator-(Double4 a) { return {_mm256_xor_pd(a.v, _mm256_set1_pd(-0.0))}; }
    // Lane-wise a > b ? a : b (b when either is NaN), as maxpd.
    static Double4 Max(Double4 a, Double4 b) { return {_mm256_max_pd(a.v, b.v)}; }

    static Double4 Select(Mask mask, Double4 a, Double4 b) { return {_mm256_blendv_pd(b.v, a.v, mask.v)}; }
    // Rows become columns: lane j of row i moves to lane i of row j.
    static void Transpose(Double4 (&rows)[kWidth])
    {
        const __m256d t0 = _mm256_unpacklo_pd(rows[0].v, rows[1].v); // a0 b0 a2 b2
        const __m256d t1 = _mm256_unpackhi_pd(rows[0].v, rows[1].v); // a1 b1 a3 b3
        const __m256d t2 = _mm256_unpacklo_pd(rows[2].v, rows[3].v); // c0 d0 c2 d2
        const __m256d t3 = _mm256_unpackhi_pd(rows[2].v, rows[3].v); // c1 d1 c3 d3
        rows[0].v = _mm256_permute2f128_pd(t0, t2, 0x20);
        rows[1].v = _mm256_permute2f128_pd(t1, t3, 0x20);
        rows[2].v = _mm256_permute2f128_pd(t0, t2, 0x31);
        rows[3].v = _mm256_permute2f128_pd(t1, t3, 0x31);
    }
    static Double4 Keep(Mask mask, Double4 a) { return {_mm256_and_pd(mask.v, a.v)}; }
    static Mask GreaterEqual(Double4 a, Double4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)}; }
    static Mask LessEqual(Double4 a, Double4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
    static Mask NotNan(Double4 a) { return {_mm256_cmp_pd(a.v, a.v, _CMP_ORD_Q)}; }
    friend Mask operator&(Mask a, Mask b) { return {_mm256_and_pd(a.v, b.v)}; }
    friend Mask operator|(Mask a, Mask b) { return {_mm256_or_pd(a.v, b.v)}; }
    static int Bits(Mask mask) { return _mm256_movemask_pd(mask.v); }
    static Mask LoadMask(const std::uint64_t* p)
    {
        return {_mm256_castsi256_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)))};
    }

    static Phase LoadPhase(const std::uint32_t* p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    static void StorePhase(Phase phase, std::uint32_t* p)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), phase);
    }
    static Tables LoadTables(const double* const* p)
    {
        static_assert(sizeof(const double*) == 8, "table addresses are gathered as 64-bit lanes");
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    static Phase Advance(Phase phase, Phase increment, std::uint32_t mask)
    {
        return _mm_and_si128(_mm_add_epi32(phase, increment), _mm_set1_epi32(static_cast<int>(mask)));
    }
    // Four scalar reads combined in registers: faster than a gather on processors whose gathers
    // are slowed down by microcode (the gather data sampling mitigation).
    template <int kShift> static Double4 Read(Tables tables, Phase phase)
    {
        alignas(16) std::uint32_t index[kWidth];
        alignas(32) const double* table[kWidth];
        _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_srli_epi32(phase, kShift));
        _mm256_store_si256(reinterpret_cast<__m256i*>(table), tables);
        return {
            _mm256_set_pd(table[3][index[3]], table[2][index[2]], table[1][index[1]], table[0][index[0]])};
    }
};

} // namespace zr::avx2
