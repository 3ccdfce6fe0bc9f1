#pragma once

#include <cmath>
#include <numbers>

namespace zr::envelope
{

// Time law shared by every envelope-like stage: a time position u in 0..1 gives the per-sample
// step factor 10^(2.3 - 4.5 u) * ln 10 / fs. Because the targets overshoot (10/9 when rising,
// -1/9 when falling), a full stage lasts 10^(4.5 u - 2.3) seconds: 5 ms at 0, 158 s at 1.
constexpr double kRiseTarget = 10.0 / 9.0;
constexpr double kFallTarget = -1.0 / 9.0;
constexpr double kRateExponentAtZero = 2.3;
constexpr double kRateExponentSpan = 4.5;

inline double LnTenOver(double fs)
{
    return std::numbers::ln10 / fs;
}

inline double StepFactor(double u, double lnTenOverFs)
{
    return std::pow(10.0, kRateExponentAtZero - kRateExponentSpan * u) * lnTenOverFs;
}

} // namespace zr::envelope
