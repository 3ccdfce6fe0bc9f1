#pragma once

#include "editor/graphics/IRectangle.h"

#include <cmath>

class LICE_IBitmap;

namespace zr
{

// An image holding N frames of one control, stacked top to bottom (or side by side when horizontal).
// The image belongs to the bitmap cache; none when it could not be loaded.
struct IBitmapStrip
{
    LICE_IBitmap* image = nullptr;
    int W = 0; // full image width
    int H = 0; // full image height
    int N = 1; // frame count, at least 1
    bool horizontal = false;

    int FrameWidth() const { return horizontal && N > 1 ? W / N : W; }
    int FrameHeight() const { return !horizontal && N > 1 ? H / N : H; }
    // Frame 1..N shown for a normalised value: the nearest of the N evenly spaced positions.
    int FrameFor(double value) const
    {
        if (N < 2) return 1;
        const double k = std::round((N - 1) * value) + 1.0;
        return k < 1.0 ? 1 : k > N ? N : static_cast<int>(k);
    }
    // The strip's frame size placed at (x, y).
    IRectangle FrameRect(int x, int y) const { return {x, y, x + FrameWidth(), y + FrameHeight()}; }
};

} // namespace zr
