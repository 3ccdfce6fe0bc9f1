#include "AudioStats.h"

#include <cmath>
#include <limits>

namespace zr::render
{

double AudioStats::Add(double sample)
{
    ++count_;
    if (!std::isfinite(sample))
    {
        ++nonFinite_;
        return 0.0;
    }
    peak_ = std::max(peak_, std::fabs(sample));
    sumOfSquares_ += sample * sample;
    return sample;
}

double AudioStats::Rms() const
{
    return count_ > 0 ? std::sqrt(sumOfSquares_ / static_cast<double>(count_)) : 0.0;
}

double AudioStats::ToDecibels(double level)
{
    return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

} // namespace zr::render
