#pragma once

#include "editor/graphics/IArgbColor.h"

#include <string>

class LICE_CachedFont;

namespace zr
{

// How a control draws text and how its text entry looks.
struct ITextStyle
{
    enum Style
    {
        kNormal = 0,
        kBold = 1,
        kItalic = 2
    };
    enum Align
    {
        kAlignNear = 0,
        kAlignCenter = 1,
        kAlignFar = 2
    };
    enum Quality
    {
        kQualityDefault = 0,
        kQualityNonAntiAliased = 1,
        kQualityAntiAliased = 2,
        kQualityClearType = 3
    };
    static constexpr size_t kMaxFaceLength = 31;

    std::string faceName = "Verdana";
    int size = 12; // font height in pixels
    IArgbColor color{255, 0, 0, 0};
    IArgbColor editBackground{255, 255, 255, 255};
    IArgbColor editText{255, 0, 0, 0};
    int style = kNormal;
    int align = kAlignCenter;
    int orientation = 0; // degrees counter-clockwise
    int quality = kQualityDefault;
    // Filled on first use from the font cache, which owns it.
    LICE_CachedFont* cachedFont = nullptr;
};

} // namespace zr
