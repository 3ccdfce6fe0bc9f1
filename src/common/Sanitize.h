#pragma once

#include <algorithm>
#include <cmath>

namespace zr
{

// Untrusted numbers from outside: NaN counts as 0, then the value is limited to lo..hi.
inline double NanAsZeroClamped(double value, double lo, double hi)
{
    return std::clamp(std::isnan(value) ? 0.0 : value, lo, hi);
}

} // namespace zr
