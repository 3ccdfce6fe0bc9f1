#pragma once

#include "editor/graphics/ITextStyle.h"

#include <string_view>

namespace zr
{

// A text style of the panel: face, height in pixels, colour and alignment; the rest as every control.
inline ITextStyle PanelTextStyle(std::string_view face, int size, const IArgbColor& color,
                                 int align = ITextStyle::kAlignCenter)
{
    ITextStyle style;
    style.faceName = std::string(face);
    style.size = size;
    style.color = color;
    style.align = align;
    return style;
}

} // namespace zr
