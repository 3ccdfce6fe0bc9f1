#include "editor/draw/Utf8.h"

#include <cstdint>

namespace zr::draw
{

namespace
{

// What a lead byte starts: the number of continuation bytes and the range the first one must lie
// in (narrower than 0x80..0xBF where that excludes overlong forms, surrogates and values above
// U+10FFFF).
struct LeadByte
{
    int continuations;
    uint8_t firstLow, firstHigh;
    char32_t bits;
};

bool ClassifyLead(uint8_t b, LeadByte& lead)
{
    if (b >= 0xC2 && b <= 0xDF)
        lead = {1, 0x80, 0xBF, char32_t(b & 0x1F)};
    else if (b == 0xE0)
        lead = {2, 0xA0, 0xBF, 0};
    else if (b == 0xED)
        lead = {2, 0x80, 0x9F, 0xD};
    else if (b >= 0xE1 && b <= 0xEF)
        lead = {2, 0x80, 0xBF, char32_t(b & 0x0F)};
    else if (b == 0xF0)
        lead = {3, 0x90, 0xBF, 0};
    else if (b >= 0xF1 && b <= 0xF3)
        lead = {3, 0x80, 0xBF, char32_t(b & 0x07)};
    else if (b == 0xF4)
        lead = {3, 0x80, 0x8F, 4};
    else
        return false;
    return true;
}

} // namespace

char32_t NextCodePoint(std::string_view text, size_t& pos)
{
    const auto b = static_cast<uint8_t>(text[pos++]);
    if (b < 0x80) return b;
    LeadByte lead;
    if (!ClassifyLead(b, lead)) return kReplacementCharacter;
    char32_t value = lead.bits;
    for (int i = 0; i < lead.continuations; ++i)
    {
        if (pos >= text.size()) return kReplacementCharacter;
        const auto c = static_cast<uint8_t>(text[pos]);
        const uint8_t low = i == 0 ? lead.firstLow : 0x80, high = i == 0 ? lead.firstHigh : 0xBF;
        if (c < low || c > high) return kReplacementCharacter;
        value = value << 6 | (c & 0x3F);
        ++pos;
    }
    return value;
}

} // namespace zr::draw
