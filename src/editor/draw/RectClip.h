#pragma once

namespace zr::draw
{

// A copy's rectangle after clipping: where it starts in the destination and in the source, and its
// size.
struct ClippedRect
{
    int dstX, dstY, srcX, srcY, width, height;
};

// Clips a copy of the source rectangle (srcx, srcy, w, h) to (dstx, dsty) against a source of
// srcW x srcH and a destination of dstW x dstH; a part cut at one side moves both starts together.
// False when nothing is left. Any int values, including negative sizes, are safe.
bool ClipCopy(int dstx, int dsty, int srcx, int srcy, int w, int h, int dstW, int dstH, int srcW, int srcH,
              ClippedRect& out);

} // namespace zr::draw
