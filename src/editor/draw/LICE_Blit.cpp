#include "editor/draw/LICE_Blit.h"

#include "editor/draw/AlphaCopyRow.h"
#include "editor/draw/PixelBlend.h"
#include "editor/draw/RectClip.h"

#include <algorithm>
#include <cstring>

namespace
{

using namespace zr::draw;

// The pixels a blend reads: a source bitmap's rectangle, or one colour (step 0, row span 0).
struct SourcePixels
{
    const uint32_t* first;
    int step;
    int rowSpan;
};

// Calls row(dstRow, srcRow) for every row of the clipped rectangle.
template <typename Row> void ForEachRow(LICE_IBitmap* dest, const ClippedRect& r, SourcePixels src, Row row)
{
    uint32_t* dstRow = dest->Bits() + static_cast<size_t>(r.dstY) * dest->RowSpan() + r.dstX;
    const uint32_t* srcRow = src.first;
    for (int y = 0; y < r.height; ++y, dstRow += dest->RowSpan(), srcRow += src.rowSpan)
        row(dstRow, srcRow);
}

// The coverage of every source pixel when its alpha does not count: the weight's.
struct ConstantCoverage
{
    uint32_t w;
    uint32_t operator()(uint32_t) const { return w; }
};

template <typename Blend, typename CoverageOf>
void BlendRows(LICE_IBitmap* dest, const ClippedRect& r, SourcePixels src, CoverageOf coverageOf, Blend blend)
{
    ForEachRow(dest, r, src,
               [&](uint32_t* d, const uint32_t* s)
               {
                   for (int x = 0; x < r.width; ++x, s += src.step)
                   {
                       const uint32_t a = coverageOf(*s >> 24);
                       if (a != 0) d[x] = blend(*s, d[x], a);
                   }
               });
}

template <typename Blend>
void BlendRect(LICE_IBitmap* dest, const ClippedRect& r, SourcePixels src, float weight, bool useAlpha,
               Blend blend)
{
    if (useAlpha)
        BlendRows(dest, r, src, AlphaCoverage(weight), blend);
    else
        BlendRows(dest, r, src, ConstantCoverage{WeightToCoverage(weight)}, blend);
}

// A plain copy at full weight: rows moved as they are (alpha included).
void CopyRows(LICE_IBitmap* dest, const ClippedRect& r, SourcePixels src)
{
    ForEachRow(dest, r, src,
               [&](uint32_t* d, const uint32_t* s)
               {
                   if (src.step == 0)
                       std::fill_n(d, r.width, *s);
                   else
                       std::memmove(d, s, static_cast<size_t>(r.width) * sizeof(uint32_t));
               });
}

// The alpha-blended copy of a bitmap at full weight.
void AlphaCopyRows(LICE_IBitmap* dest, const ClippedRect& r, SourcePixels src)
{
    ForEachRow(dest, r, src, [&](uint32_t* d, const uint32_t* s) { AlphaCopyRow(d, s, r.width); });
}

void Draw(LICE_IBitmap* dest, const ClippedRect& r, SourcePixels src, float weight, int mode)
{
    const uint32_t w = WeightToCoverage(weight);
    if (w == 0) return;
    const bool useAlpha = (mode & LICE_BLIT_USE_ALPHA) != 0;
    switch (mode & LICE_BLIT_MODE_MASK)
    {
    case LICE_BLIT_MODE_ADD:
        BlendRect(dest, r, src, weight, useAlpha, AddBlend{});
        return;
    case LICE_BLIT_MODE_DODGE:
        BlendRect(dest, r, src, weight, useAlpha, DodgeBlend{});
        return;
    default:
        if (useAlpha && w == kFullCoverage && src.step == 1)
            AlphaCopyRows(dest, r, src);
        else if (useAlpha)
            BlendRect(dest, r, src, weight, true, OverBlend{});
        else if (w == kFullCoverage)
            CopyRows(dest, r, src);
        else
            BlendRect(dest, r, src, weight, false, CopyBlend{});
        return;
    }
}

bool HasPixels(const LICE_IBitmap* bitmap)
{
    return bitmap != nullptr && bitmap->Bits() != nullptr && bitmap->Width() > 0 && bitmap->Height() > 0;
}

} // namespace

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
               int srch, float weight, int mode)
{
    if (!HasPixels(dest) || !HasPixels(src)) return;
    ClippedRect r;
    if (!ClipCopy(dstx, dsty, srcx, srcy, srcw, srch, dest->Width(), dest->Height(), src->Width(),
                  src->Height(), r))
        return;
    const SourcePixels pixels{src->Bits() + static_cast<size_t>(r.srcY) * src->RowSpan() + r.srcX, 1,
                              src->RowSpan()};
    Draw(dest, r, pixels, weight, mode);
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, uint32_t argb, float weight, int mode)
{
    if (!HasPixels(dest)) return;
    ClippedRect r;
    // The colour is a source without edges: clip only against the destination.
    if (!ClipCopy(x, y, x, y, w, h, dest->Width(), dest->Height(), dest->Width(), dest->Height(), r)) return;
    Draw(dest, r, SourcePixels{&argb, 0, 0}, weight, mode);
}
