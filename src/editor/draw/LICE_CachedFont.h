#pragma once

#include "editor/draw/LICE_IBitmap.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace zr::draw
{
class FontRenderer;
}

// A font at one pixel height and style, rendering through FreeType with a cache of the glyphs it
// has drawn. One object is used by one thread at a time; distinct objects on distinct threads are
// fine.
class LICE_CachedFont
{
public:
    // faceName as the panel names it ("Verdana", "Tahoma", "Arial"): mapped to an embedded face;
    // heightPx = font height in pixels; bold/italic. nullptr when the face cannot be made.
    static std::unique_ptr<LICE_CachedFont> Create(std::string_view faceName, int heightPx, bool bold,
                                                   bool italic, bool antialias = true);
    ~LICE_CachedFont();
    LICE_CachedFont(const LICE_CachedFont&) = delete;
    LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

    // align: 0 left, 1 centre, 2 right (horizontal, inside [x, x+w)); vertically centred in [y, y+h).
    // Measure: measureOnly=true writes text width/height to *outW/*outH and draws nothing.
    // Returns false (draws nothing) on failure. Unclipped beyond the bitmap's own bounds.
    // The width is the sum of the glyphs' advances (kerned), the height the face's line height
    // (ascent + descent, about heightPx); both are written also when drawing. The glyphs' coverage
    // blends the colour in with the colour's alpha. Invalid UTF-8 sequences draw as U+FFFD. Fails
    // only for a null dest when drawing.
    bool DrawText(LICE_IBitmap* dest, std::string_view utf8, int x, int y, int w, int h, uint32_t argb,
                  int align, bool measureOnly = false, int* outW = nullptr, int* outH = nullptr);

    int HeightPx() const;
    // Glyphs rendered so far (each is rendered once and then reused from the cache).
    int CachedGlyphCount() const;

private:
    explicit LICE_CachedFont(std::unique_ptr<zr::draw::FontRenderer> renderer);
    // Width in pixels of the text's advances.
    int MeasureWidth(std::string_view utf8);
    template <typename Visit> long long ForEachGlyph(std::string_view utf8, Visit visit);

    std::unique_ptr<zr::draw::FontRenderer> renderer_;
};
