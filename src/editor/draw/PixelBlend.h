#pragma once

#include <cstdint>

// The per-pixel arithmetic of the blits and fills (LICE_Blit.h defines the results). Coverage is an
// integer 0..256; channels are worked two at a time (red and blue, alpha and green) in 16-bit lanes.
namespace zr::draw
{

inline constexpr uint32_t kFullCoverage = 256;
inline constexpr uint32_t kAlphaMask = 0xFF000000u;

namespace detail
{
inline constexpr uint32_t kRedBlue = 0x00FF00FFu;
inline constexpr uint32_t kAlphaGreen = 0xFF00FF00u;
inline constexpr uint32_t kHalfLanes = 0x00800080u; // 128 in each lane: rounds x / 256 to nearest
inline constexpr uint32_t kCarryLanes = 0x01000100u;
} // namespace detail

// round(weight x 256) for weight in [0, 1]; 0 for NaN and below.
inline uint32_t WeightToCoverage(float weight)
{
    if (!(weight > 0.0f)) return 0;
    if (weight >= 1.0f) return kFullCoverage;
    return static_cast<uint32_t>(weight * 256.0f + 0.5f);
}

// The coverage of a source alpha at weight 1: round(alpha x 256 / 255) == alpha + (alpha >= 128).
inline uint32_t FullWeightCoverage(uint32_t alpha)
{
    return alpha + (alpha >> 7);
}

// The coverage of each source alpha at one weight: round(weight x alpha / 255 x 256). At weight 1
// alpha 255 gives 256 and alpha 0 gives 0.
class AlphaCoverage
{
public:
    explicit AlphaCoverage(float weight);
    uint32_t operator()(uint32_t alpha) const { return table_[alpha & 0xFF]; }

private:
    uint16_t table_[256];
};

// Every channel: round((s x a + d x (256 - a)) / 256).
inline uint32_t Lerp(uint32_t s, uint32_t d, uint32_t a)
{
    using namespace detail;
    const uint32_t b = kFullCoverage - a;
    const uint32_t rb = (((s & kRedBlue) * a + (d & kRedBlue) * b + kHalfLanes) >> 8) & kRedBlue;
    const uint32_t ag = (((s >> 8) & kRedBlue) * a + ((d >> 8) & kRedBlue) * b + kHalfLanes) & kAlphaGreen;
    return rb | ag;
}

// Every channel: round(s x a / 256).
inline uint32_t Scale(uint32_t s, uint32_t a)
{
    using namespace detail;
    const uint32_t rb = (((s & kRedBlue) * a + kHalfLanes) >> 8) & kRedBlue;
    const uint32_t ag = (((s >> 8) & kRedBlue) * a + kHalfLanes) & kAlphaGreen;
    return rb | ag;
}

// Every channel: min(255, x + y).
inline uint32_t AddSaturated(uint32_t x, uint32_t y)
{
    using namespace detail;
    uint32_t rb = (x & kRedBlue) + (y & kRedBlue);
    uint32_t ag = ((x >> 8) & kRedBlue) + ((y >> 8) & kRedBlue);
    rb |= (rb & kCarryLanes) - ((rb & kCarryLanes) >> 8);
    ag |= (ag & kCarryLanes) - ((ag & kCarryLanes) >> 8);
    return (rb & kRedBlue) | ((ag & kRedBlue) << 8);
}

// The destination alpha after painting coverage a over it: d + (255 - d) x a / 256.
inline uint32_t OverAlpha(uint32_t d, uint32_t a)
{
    return Lerp(kAlphaMask, d, a) & kAlphaMask;
}

// The blends, called with the coverage a (1..256) of the source pixel s over destination pixel d.
struct CopyBlend // all four channels mixed
{
    uint32_t operator()(uint32_t s, uint32_t d, uint32_t a) const { return Lerp(s, d, a); }
};

struct OverBlend // colours mixed, alpha accumulated
{
    uint32_t operator()(uint32_t s, uint32_t d, uint32_t a) const { return Lerp(s | kAlphaMask, d, a); }
};

struct AddBlend
{
    uint32_t operator()(uint32_t s, uint32_t d, uint32_t a) const
    {
        return (AddSaturated(d, Scale(s, a)) & ~kAlphaMask) | OverAlpha(d, a);
    }
};

struct DodgeBlend // per channel min(255, round(d x 255 / (255 - s))); 0 for d = 0, 255 for s = 255
{
    uint32_t operator()(uint32_t s, uint32_t d, uint32_t a) const;
};

} // namespace zr::draw
