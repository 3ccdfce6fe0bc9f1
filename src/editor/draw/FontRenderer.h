#pragma once

#include "editor/draw/FontFaces.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

struct FT_FaceRec_;

namespace zr::draw
{

class FreeTypeLibrary;

// One rendered glyph: its coverage (0..255, width x height, rows packed), where that sits relative
// to the pen on the baseline, and how far the pen moves.
struct Glyph
{
    unsigned index = 0; // in the face, for kerning
    int left = 0;       // from the pen to the coverage's left column
    int top = 0;        // from the baseline up to the coverage's top row
    int width = 0;
    int height = 0;
    int advance = 0; // pixels
    std::vector<uint8_t> coverage;
};

// A FreeType face at one pixel size, with the glyphs it has rendered. One thread at a time.
class FontRenderer
{
public:
    // nullptr when the face data is missing or FreeType cannot open it.
    static std::unique_ptr<FontRenderer> Create(const FontFaceData& face, int heightPx, bool antialias);
    ~FontRenderer();
    FontRenderer(const FontRenderer&) = delete;
    FontRenderer& operator=(const FontRenderer&) = delete;

    // The glyph of a code point (the face's missing-glyph shape when it has none), rendered on first
    // use; nullptr only when FreeType fails.
    const Glyph* GlyphFor(char32_t codePoint);
    // Pen adjustment in pixels between two glyphs (0 for faces without kerning).
    int Kerning(unsigned leftIndex, unsigned rightIndex) const;

    int HeightPx() const { return heightPx_; }
    int Ascent() const { return ascent_; }
    int LineHeight() const { return lineHeight_; }
    int CachedGlyphCount() const;

private:
    FontRenderer(std::shared_ptr<FreeTypeLibrary> library, FT_FaceRec_* face, int heightPx, bool antialias);
    std::optional<Glyph> Render(char32_t codePoint) const;

    // Glyphs beyond ASCII kept at most; the cache starts over beyond that.
    static constexpr size_t kMaxOtherGlyphs = 1024;

    std::shared_ptr<FreeTypeLibrary> library_;
    FT_FaceRec_* face_;
    int heightPx_;
    bool antialias_;
    int ascent_ = 0;
    int lineHeight_ = 0;
    std::array<std::optional<Glyph>, 128> ascii_;
    std::unordered_map<char32_t, Glyph> others_;
};

} // namespace zr::draw
