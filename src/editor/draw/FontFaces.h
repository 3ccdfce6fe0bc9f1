#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The embedded typefaces and the one map from the face names the panel uses to them.

namespace zr::draw
{

enum class FontFamily
{
    DejaVuSans,
    LiberationSans,
};

struct FontFaceData
{
    std::span<const uint8_t> bytes; // the font file, embedded in the module; empty when missing
    bool synthesizeOblique;         // no italic face embedded: slant the upright one
};

// "Verdana" and "Tahoma" are DejaVu Sans, "Arial" is Liberation Sans (case-insensitive); any other
// name is DejaVu Sans.
FontFamily FontFamilyForFaceName(std::string_view faceName);

// The embedded face of that family and style.
FontFaceData FindFontFace(FontFamily family, bool bold, bool italic);

} // namespace zr::draw
