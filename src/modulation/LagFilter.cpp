#include "modulation/LagFilter.h"

#include "common/Sanitize.h"

#include <algorithm>
#include <cmath>

namespace zr
{

namespace
{
// Infinities are cleared like NaN: left in the history they would turn into NaN and back into
// infinity at every step, and the lag would never recover.
double Sanitised(double value, double offset)
{
    return std::isfinite(value) ? value + offset : 0.0;
}
} // namespace

double LagFilter::CornerOfPosition(double v)
{
    return std::pow(1.0 - v, kKnobCurve) * kMaxKnobCorner;
}

void LagFilter::SetCorner(double hz)
{
    corner = NanAsZeroClamped(hz, 0.0, kMaxCorner);
    const double w = corner * omegaPerHz;
    const double c = std::cos(w);
    const double alpha = std::sin(w) / std::numbers::sqrt2;
    const double n = 1.0 / (1.0 + alpha);
    f1 = 2.0 * c * n;
    f2 = (alpha - 1.0) * n;
    g1 = (1.0 - c) * n;
    g0 = g1 / 2.0;
}

void LagFilter::Reset()
{
    omegaPerHz = 2.0 * std::numbers::pi / kControlRate;
    x1 = x2 = y1 = y2 = 0.0;
    SetCorner(corner);
}

double LagFilter::Filter(double x)
{
    x = Sanitised(x, offset);
    x1 = Sanitised(x1, offset);
    x2 = Sanitised(x2, offset);
    y1 = Sanitised(y1, offset);
    y2 = Sanitised(y2, offset);
    offset = -offset;
    const double y = g0 * (x + x2) + g1 * x1 + f1 * y1 + f2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

} // namespace zr
