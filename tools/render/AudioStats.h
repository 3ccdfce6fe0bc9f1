// Level statistics of the rendered audio.
#pragma once

#include <cstdint>

namespace zr::render
{

class AudioStats
{
public:
    // Adds one sample; returns it, or 0 when it is NaN or infinite (counted separately).
    double Add(double sample);

    double Peak() const { return peak_; }
    double Rms() const;
    std::int64_t NonFinite() const { return nonFinite_; }

    static double ToDecibels(double level); // -inf for 0

private:
    double peak_ = 0.0;
    double sumOfSquares_ = 0.0;
    std::int64_t count_ = 0;
    std::int64_t nonFinite_ = 0;
};

} // namespace zr::render
