#include "engine/WaveTables.h"

#include <cmath>
#include <numbers>

namespace zr
{

namespace
{
constexpr int kTopHarmonics = 1024;
constexpr double kTaperFloor = 0.54; // weight left at the top harmonic of the sawtooth
constexpr double kAmplitude = 0.5;
} // namespace

const WaveTables& WaveTables::Instance()
{
    static const WaveTables tables;
    return tables;
}

WaveTables::WaveTables() : samples_(2 * kLevels * kSize, 0.0)
{
    // sin(i x) and cos(i x) at x = 2 pi j / kSize are entries (i * j) mod kSize of one cycle.
    std::vector<double> sine(kSize), cosine(kSize);
    for (int j = 0; j < kSize; ++j)
    {
        sine[j] = std::sin(2.0 * std::numbers::pi * j / kSize);
        cosine[j] = std::cos(2.0 * std::numbers::pi * j / kSize);
    }
    for (int level = 0; level < kLevels; ++level)
    {
        const int harmonics = kTopHarmonics >> level;
        double* saw = &samples_[Offset(0, level)];
        double* tri = &samples_[Offset(1, level)];
        for (int j = 0; j < kSize; ++j)
        {
            saw[j] = kAmplitude * sine[j];
            tri[j] = kAmplitude * cosine[j];
        }
        for (int i = 2; i <= harmonics; ++i)
        {
            const double taper =
                kTaperFloor +
                (1.0 - kTaperFloor) * std::cos((i - 1) * (std::numbers::pi / 2) / (harmonics - 1));
            const double sawWeight = taper * kAmplitude / i;
            const double triWeight = (i % 2 == 1) ? kAmplitude / (static_cast<double>(i) * i) : 0.0;
            for (int j = 0; j < kSize; ++j)
            {
                const int index = static_cast<int>((static_cast<long>(i) * j) % kSize);
                saw[j] += sawWeight * sine[index];
                if (triWeight != 0.0) tri[j] += triWeight * cosine[index];
            }
        }
    }
}

} // namespace zr
