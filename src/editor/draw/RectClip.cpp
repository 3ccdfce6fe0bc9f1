#include "editor/draw/RectClip.h"

#include <algorithm>

namespace zr::draw
{

namespace
{

// One axis: the run [s, s + len) to [0, srcLimit) and its image [d, d + len) to [0, dstLimit).
bool ClipAxis(long long& d, long long& s, long long& len, long long dstLimit, long long srcLimit)
{
    const long long skip = std::max({0LL, -d, -s});
    d += skip;
    s += skip;
    len = std::min({len - skip, dstLimit - d, srcLimit - s});
    return len > 0;
}

} // namespace

bool ClipCopy(int dstx, int dsty, int srcx, int srcy, int w, int h, int dstW, int dstH, int srcW, int srcH,
              ClippedRect& out)
{
    long long dx = dstx, dy = dsty, sx = srcx, sy = srcy, lw = w, lh = h;
    if (!ClipAxis(dx, sx, lw, dstW, srcW) || !ClipAxis(dy, sy, lh, dstH, srcH)) return false;
    out = {int(dx), int(dy), int(sx), int(sy), int(lw), int(lh)};
    return true;
}

} // namespace zr::draw
