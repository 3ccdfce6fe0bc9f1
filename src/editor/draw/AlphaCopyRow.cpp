#include "editor/draw/AlphaCopyRow.h"

#include "editor/draw/PixelBlend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zr::draw
{

namespace
{

void AlphaCopyPixels(uint32_t* dst, const uint32_t* src, int count)
{
    for (int i = 0; i < count; ++i)
    {
        const uint32_t a = FullWeightCoverage(src[i] >> 24);
        if (a != 0) dst[i] = OverBlend{}(src[i], dst[i], a);
    }
}

#if defined(__SSE2__)

// Two pixels' channels as 16-bit lanes mixed by their coverages: (s x a + d x (256 - a) + 128) >> 8.
__m128i MixLanes(__m128i s, __m128i d, __m128i a)
{
    const __m128i b = _mm_sub_epi16(_mm_set1_epi16(256), a);
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, b));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

// Four pixels; the source's alpha channel counts as 255, so the destination's alpha accumulates.
__m128i AlphaCopyFour(__m128i s, __m128i d)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha = _mm_srli_epi32(s, 24);
    const __m128i a32 = _mm_add_epi32(alpha, _mm_srli_epi32(alpha, 7)); // 0..256 per pixel
    const __m128i a16 = _mm_or_si128(a32, _mm_slli_epi32(a32, 16));     // in both halves of each pixel
    const __m128i aLow = _mm_unpacklo_epi32(a16, a16);                  // pixels 0, 1: four lanes each
    const __m128i aHigh = _mm_unpackhi_epi32(a16, a16);
    const __m128i opaqueS = _mm_or_si128(s, _mm_set1_epi32(static_cast<int>(kAlphaMask)));
    const __m128i low = MixLanes(_mm_unpacklo_epi8(opaqueS, zero), _mm_unpacklo_epi8(d, zero), aLow);
    const __m128i high = MixLanes(_mm_unpackhi_epi8(opaqueS, zero), _mm_unpackhi_epi8(d, zero), aHigh);
    return _mm_packus_epi16(low, high);
}

#endif

} // namespace

void AlphaCopyRow(uint32_t* dst, const uint32_t* src, int count)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(kAlphaMask));
    constexpr int kTopBytes = 0x8888; // the movemask bits of the four pixels' alpha bytes
    for (; i + 4 <= count; i += 4)
    {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // Each pixel's top byte: all four 0 (nothing to do) or all four 255 (a plain copy)?
        const __m128i alphas = _mm_and_si128(s, alphaMask);
        const int opaque = _mm_movemask_epi8(_mm_cmpeq_epi8(alphas, alphaMask)) & kTopBytes;
        const int transparent = _mm_movemask_epi8(_mm_cmpeq_epi8(alphas, _mm_setzero_si128())) & kTopBytes;
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        if (transparent == kTopBytes) continue;
        if (opaque == kTopBytes)
            _mm_storeu_si128(out, s);
        else
            _mm_storeu_si128(out, AlphaCopyFour(s, _mm_loadu_si128(out)));
    }
#endif
    AlphaCopyPixels(dst + i, src + i, count - i);
}

} // namespace zr::draw
