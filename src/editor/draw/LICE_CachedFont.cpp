#include "editor/draw/LICE_CachedFont.h"

#include "editor/draw/FontFaces.h"
#include "editor/draw/FontRenderer.h"
#include "editor/draw/PixelBlend.h"
#include "editor/draw/RectClip.h"
#include "editor/draw/Utf8.h"

#include <climits>

using zr::draw::FontRenderer;
using zr::draw::Glyph;

namespace
{

constexpr int kAlignCentre = 1;
constexpr int kAlignRight = 2;

long long AlignOffset(int align, int boxWidth, int textWidth)
{
    const long long room = static_cast<long long>(boxWidth) - textWidth;
    if (align == kAlignCentre) return room >> 1;
    if (align == kAlignRight) return room;
    return 0;
}

// Blends the colour into dest through the glyph's coverage at (x, y), clipped to dest.
void PaintGlyph(LICE_IBitmap* dest, const Glyph& glyph, long long x, long long y, uint32_t argb,
                const zr::draw::AlphaCoverage& coverageOf)
{
    using namespace zr::draw;
    if (x < INT_MIN || x > INT_MAX || y < INT_MIN || y > INT_MAX) return;
    ClippedRect r;
    if (!ClipCopy(int(x), int(y), 0, 0, glyph.width, glyph.height, dest->Width(), dest->Height(), glyph.width,
                  glyph.height, r))
        return;
    for (int row = 0; row < r.height; ++row)
    {
        uint32_t* out = dest->Bits() + static_cast<size_t>(r.dstY + row) * dest->RowSpan() + r.dstX;
        const uint8_t* coverage = &glyph.coverage[static_cast<size_t>(r.srcY + row) * glyph.width + r.srcX];
        for (int col = 0; col < r.width; ++col)
        {
            const uint32_t a = coverageOf(coverage[col]);
            if (a != 0) out[col] = OverBlend{}(argb, out[col], a);
        }
    }
}

} // namespace

std::unique_ptr<LICE_CachedFont> LICE_CachedFont::Create(std::string_view faceName, int heightPx, bool bold,
                                                         bool italic, bool antialias)
{
    using namespace zr::draw;
    const FontFaceData face = FindFontFace(FontFamilyForFaceName(faceName), bold, italic);
    std::unique_ptr<FontRenderer> renderer = FontRenderer::Create(face, heightPx, antialias);
    if (renderer == nullptr) return nullptr;
    return std::unique_ptr<LICE_CachedFont>(new LICE_CachedFont(std::move(renderer)));
}

LICE_CachedFont::LICE_CachedFont(std::unique_ptr<FontRenderer> renderer) : renderer_(std::move(renderer)) {}

LICE_CachedFont::~LICE_CachedFont() = default;

int LICE_CachedFont::HeightPx() const
{
    return renderer_->HeightPx();
}

int LICE_CachedFont::CachedGlyphCount() const
{
    return renderer_->CachedGlyphCount();
}

// Calls visit(glyph, pen) for every glyph of the text, pen being its offset from the text's start,
// and returns the pen after the last glyph.
template <typename Visit> long long LICE_CachedFont::ForEachGlyph(std::string_view utf8, Visit visit)
{
    long long pen = 0;
    unsigned previous = 0;
    for (size_t pos = 0; pos < utf8.size();)
    {
        const Glyph* glyph = renderer_->GlyphFor(zr::draw::NextCodePoint(utf8, pos));
        if (glyph == nullptr) continue;
        pen += renderer_->Kerning(previous, glyph->index);
        visit(*glyph, pen);
        pen += glyph->advance;
        previous = glyph->index;
    }
    return pen;
}

int LICE_CachedFont::MeasureWidth(std::string_view utf8)
{
    const long long width = ForEachGlyph(utf8, [](const Glyph&, long long) {});
    return width > INT_MAX ? INT_MAX : static_cast<int>(width);
}

bool LICE_CachedFont::DrawText(LICE_IBitmap* dest, std::string_view utf8, int x, int y, int w, int h,
                               uint32_t argb, int align, bool measureOnly, int* outW, int* outH)
{
    const int textWidth = MeasureWidth(utf8);
    const int textHeight = renderer_->LineHeight();
    if (outW != nullptr) *outW = textWidth;
    if (outH != nullptr) *outH = textHeight;
    if (measureOnly) return true;
    if (dest == nullptr) return false;
    if (dest->Bits() == nullptr || (argb >> 24) == 0) return true;
    const long long left = x + AlignOffset(align, w, textWidth);
    const long long baseline = y + ((static_cast<long long>(h) - textHeight) >> 1) + renderer_->Ascent();
    // Glyph coverage 0..255 times the colour's alpha.
    const zr::draw::AlphaCoverage coverageOf(static_cast<float>(argb >> 24) / 255.0f);
    ForEachGlyph(utf8,
                 [&](const Glyph& glyph, long long pen) {
                     PaintGlyph(dest, glyph, left + pen + glyph.left, baseline - glyph.top, argb, coverageOf);
                 });
    return true;
}
