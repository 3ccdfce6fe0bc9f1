#pragma once

namespace zr
{

// How a bitmap is put onto the panel: none is an alpha-blended copy, clobber a plain copy.
struct IBlend
{
    enum Method
    {
        kNone = 0,
        kClobber = 1,
        kAdd = 2,
        kColorDodge = 3
    };

    int method = kNone;
    float weight = 1.0f;
};

} // namespace zr
