#include "editor/draw/PixelBlend.h"

#include <array>

namespace zr::draw
{

namespace
{

using DodgeTable = std::array<std::array<uint8_t, 256>, 256>; // [s][d]

DodgeTable MakeDodgeTable()
{
    DodgeTable table{};
    for (uint32_t s = 0; s < 256; ++s)
        for (uint32_t d = 0; d < 256; ++d)
        {
            uint32_t v = 255;
            if (d == 0)
                v = 0;
            else if (s < 255)
                v = (d * 255 + (255 - s) / 2) / (255 - s);
            table[s][d] = static_cast<uint8_t>(v > 255 ? 255 : v);
        }
    return table;
}

const DodgeTable& Dodge()
{
    static const DodgeTable table = MakeDodgeTable();
    return table;
}

} // namespace

AlphaCoverage::AlphaCoverage(float weight)
{
    const float w = weight > 1.0f ? 1.0f : weight > 0.0f ? weight : 0.0f; // NaN gives 0
    for (uint32_t alpha = 0; alpha < 256; ++alpha)
        table_[alpha] = static_cast<uint16_t>(w * static_cast<float>(alpha * kFullCoverage) / 255.0f + 0.5f);
}

uint32_t DodgeBlend::operator()(uint32_t s, uint32_t d, uint32_t a) const
{
    const DodgeTable& t = Dodge();
    const uint32_t dodged = uint32_t{t[(s >> 16) & 0xFF][(d >> 16) & 0xFF]} << 16 |
                            uint32_t{t[(s >> 8) & 0xFF][(d >> 8) & 0xFF]} << 8 | t[s & 0xFF][d & 0xFF];
    return Lerp(dodged | kAlphaMask, d, a);
}

} // namespace zr::draw
