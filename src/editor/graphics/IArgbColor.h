#pragma once

#include <cstdint>

namespace zr
{

// A colour as four channels 0..255.
struct IArgbColor
{
    int32_t A = 255;
    int32_t R = 0;
    int32_t G = 0;
    int32_t B = 0;

    // The drawing library's pixel: A<<24 | R<<16 | G<<8 | B, each channel limited to 0..255.
    uint32_t Pixel() const { return Channel(A) << 24 | Channel(R) << 16 | Channel(G) << 8 | Channel(B); }
    bool operator==(const IArgbColor&) const = default;

private:
    static uint32_t Channel(int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
};

} // namespace zr
