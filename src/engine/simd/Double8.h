#pragma once

// Eight doubles in an AVX-512 register: the lane type of the AVX-512 voice kernel. Only the
// translation unit built for AVX-512 includes this header (see engine/VoiceKernel.h); its interface
// is Double2's, with comparison results in a mask register.
#include <cstdint>
#include <immintrin.h>

namespace zr::avx512
{

struct Double8
{
    static constexpr int kWidth = 8;

    __m512d v;
    using Mask = __mmask8; // bit i set: lane i is true
    using Phase = __m256i;
    using Tables = __m512i;

    static Double8 Load(const double* p) { return {_mm512_loadu_pd(p)}; }
    static Double8 Splat(double x) { return {_mm512_set1_pd(x)}; }
    void Store(double* p) const { _mm512_storeu_pd(p, v); }

    friend Double8 operator+(Double8 a, Double8 b) { return {_mm512_add_pd(a.v, b.v)}; }
    friend Double8 operator-(Double8 a, Double8 b) { return {_mm512_sub_pd(a.v, b.v)}; }
    friend Double8 operator*(Double8 a, Double8 b) { return {_mm512_mul_pd(a.v, b.v)}; }
    friend Double8 operator-(Double8 a)
    {
        // The sign flip as an integer xor: AVX-512F has no floating-point xor.
        const __m512i sign = _mm512_set1_epi64(static_cast<long long>(0x8000000000000000ULL));
        return {_mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(a.v), sign))};
    }
    // Lane-wise a > b ? a : b (b when either is NaN), as maxpd.
    static Double8 Max(Double8 a, Double8 b) { return {_mm512_max_pd(a.v, b.v)}; }

    static Double8 Select(Mask mask, Double8 a, Double8 b) { return {_mm512_mask_blend_pd(mask, b.v, a.v)}; }
    // Rows become columns: lane j of row i moves to lane i of row j. Pairs of rows are interleaved,
    // then 128-bit chunks are gathered twice (0x88: chunks 0 and 2 of each source, 0xDD: 1 and 3).
    static void Transpose(Double8 (&rows)[kWidth])
    {
        __m512d t[kWidth];
#pragma GCC unroll 4
        for (int i = 0; i < kWidth; i += 2)
        {
            t[i] = _mm512_unpacklo_pd(rows[i].v, rows[i + 1].v);
            t[i + 1] = _mm512_unpackhi_pd(rows[i].v, rows[i + 1].v);
        }
        __m512d u[kWidth];
#pragma GCC unroll 2
        for (int half = 0; half < kWidth; half += 4)
        {
            u[half] = _mm512_shuffle_f64x2(t[half], t[half + 2], 0x88);
            u[half + 1] = _mm512_shuffle_f64x2(t[half + 1], t[half + 3], 0x88);
            u[half + 2] = _mm512_shuffle_f64x2(t[half], t[half + 2], 0xDD);
            u[half + 3] = _mm512_shuffle_f64x2(t[half + 1], t[half + 3], 0xDD);
        }
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i)
        {
            rows[i].v = _mm512_shuffle_f64x2(u[i], u[i + 4], 0x88);
            rows[i + 4].v = _mm512_shuffle_f64x2(u[i], u[i + 4], 0xDD);
        }
    }
    static Double8 Keep(Mask mask, Double8 a)
    {
        return {_mm512_maskz_mov_pd(mask, a.v)};
    }
    static Mask GreaterEqual(Double8 a, Double8 b)
    {
        return _mm512_cmp_pd_mask(a.v, b.v, _CMP_GE_OQ);
    }
    static Mask LessEqual(Double8 a, Double8 b)
    {
        return _mm512_cmp_pd_mask(a.v, b.v, _CMP_LE_OQ);
    }
    static Mask NotNan(Double8 a)
    {
        return _mm512_cmp_pd_mask(a.v, a.v, _CMP_ORD_Q);
    }
    static int Bits(Mask mask)
    {
        return mask;
    }
    static Mask LoadMask(const std::uint64_t* p)
    {
        const __m512i words = _mm512_loadu_si512(p);
        return _mm512_test_epi64_mask(words, words);
    }

    static Phase LoadPhase(const std::uint32_t* p)
    {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    static void StorePhase(Phase phase, std::uint32_t* p)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), phase);
    }
    static Tables LoadTables(const double* const* p)
    {
        static_assert(sizeof(const double*) == 8, "table addresses are gathered as 64-bit lanes");
        return _mm512_loadu_si512(p);
    }
    static Phase Advance(Phase phase, Phase increment, std::uint32_t mask)
    {
        return _mm256_and_si256(_mm256_add_epi32(phase, increment),
                                _mm256_set1_epi32(static_cast<int>(mask)));
    }
    // Eight scalar reads combined in registers: faster than a gather on processors whose gathers
    // are slowed down by microcode (the gather data sampling mitigation).
    template <int kShift> static Double8 Read(Tables tables, Phase phase)
    {
        alignas(32) std::uint32_t index[kWidth];
        alignas(64) const double* table[kWidth];
        _mm256_store_si256(reinterpret_cast<__m256i*>(index), _mm256_srli_epi32(phase, kShift));
        _mm512_store_si512(table, tables);
        return {_mm512_set_pd(table[7][index[7]], table[6][index[6]], table[5][index[5]], table[4][index[4]],
                              table[3][index[3]], table[2][index[2]], table[1][index[1]],
                              table[0][index[0]])};
    }
};

} // namespace zr::avx512
