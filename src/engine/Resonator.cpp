#include "engine/Resonator.h"

#include "engine/CutoffTable.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zr
{

namespace
{
double ZeroIfNan(double x)
{
    return std::isnan(x) ? 0.0 : x;
}
} // namespace

void Resonator::SetUp(double fs)
{
    const double rate = static_cast<float>(fs);
    position_ = kDefaultPosition;
    mix_ = 0.0;
    // Below about 20 kHz the top of the range would pass the Nyquist frequency, where the band-pass
    // turns unstable; the centre is limited like the voice filter's cutoff.
    const double limit = CutoffTable::kNyquistLimit * rate;
    omegaLow_ = 2.0 * std::numbers::pi * std::min(kLowHz, limit) / rate;
    omegaHigh_ = 2.0 * std::numbers::pi * std::min(kHighHz, limit) / rate;
    b0_ = a1_ = a2_ = 0.0;
    const double p = std::exp(-2.0 * std::numbers::pi * kSmoothingHz / rate);
    smoothA_ = 1.0 - p;
    smoothB_ = p;
    smoothed_ = cachedInput_ = 0.0;
    x1_ = x2_ = y1_ = y2_ = 0.0;
}

double Resonator::CenterOmega() const
{
    const double c = std::pow(std::clamp(cachedInput_, 0.0, 1.0), 4);
    return omegaLow_ + (omegaHigh_ - omegaLow_) * c;
}

void Resonator::Update(double control)
{
    smoothed_ = smoothA_ * control + smoothB_ * smoothed_;
    const double x = smoothed_ + position_;
    if (x == cachedInput_) return;
    cachedInput_ = x;
    const double omega = CenterOmega();
    const double alpha = std::sin(omega) / kBandwidthDivisor;
    const double q = 1.0 / (1.0 + alpha);
    b0_ = 2.0 * alpha * q;
    a1_ = 2.0 * std::cos(omega) * q;
    a2_ = (alpha - 1.0) * q;
}

void Resonator::Process(const double* in, double* out, int m)
{
    for (int i = 0; i < m; ++i)
    {
        const double x = ZeroIfNan(in[i]);
        x1_ = ZeroIfNan(x1_);
        x2_ = ZeroIfNan(x2_);
        y1_ = ZeroIfNan(y1_);
        y2_ = ZeroIfNan(y2_);
        const double y = a1_ * y1_ + a2_ * y2_ + b0_ * (x - x2_);
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        out[i] += (kWetGain * y - kDryShare * x) * mix_ + kDryShare * x;
    }
}

} // namespace zr
