#include "editor/draw/LICE_MemBitmap.h"

#include <cstddef>

LICE_MemBitmap::LICE_MemBitmap(int w, int h)
{
    Resize(w, h);
}

bool LICE_MemBitmap::Resize(int w, int h)
{
    const bool valid = w >= 0 && h >= 0 && w <= kMaxSide && h <= kMaxSide;
    if (!valid || w == 0 || h == 0)
    {
        pixels_ = {};
        width_ = height_ = 0;
        return valid;
    }
    pixels_.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    width_ = w;
    height_ = h;
    return true;
}
