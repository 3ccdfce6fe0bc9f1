// The loudness meter against the reference points of the broadcast standard: calibration of a
// 997 Hz sine, the weighting curve's shelf and high pass, and both gates.
#include "support/LoudnessMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using zr::test::LoudnessMeter;

namespace
{

constexpr double kRate = 48000.0;

// Interleaved stereo: a sine of the given peak in each channel for seconds.
std::vector<float> Sine(double hz, double seconds, double leftPeak, double rightPeak)
{
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> out(2 * frames);
    for (std::size_t i = 0; i < frames; ++i)
    {
        const double s = std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate);
        out[2 * i] = static_cast<float>(leftPeak * s);
        out[2 * i + 1] = static_cast<float>(rightPeak * s);
    }
    return out;
}

double Measure(std::initializer_list<std::vector<float>> parts, double rate = kRate)
{
    LoudnessMeter meter(rate, 2);
    for (const auto& part : parts)
        meter.Add(part);
    return meter.Integrated();
}

} // namespace

TEST(LoudnessMeterTest, FullScaleSineReadsMinusThreeInOneChannelAndZeroInTwo)
{
    EXPECT_NEAR(Measure({Sine(997.0, 3.0, 1.0, 0.0)}), -3.01, 0.02);
    EXPECT_NEAR(Measure({Sine(997.0, 3.0, 1.0, 1.0)}), 0.0, 0.02);
    EXPECT_NEAR(Measure({Sine(997.0, 3.0, 0.1, 0.1)}), -20.0, 0.02);
    // The weighting depends on the rate only through the bilinear transform.
    LoudnessMeter slow(44100.0, 1);
    std::vector<float> mono(44100 * 3);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] =
            static_cast<float>(std::sin(2.0 * std::numbers::pi * 997.0 * static_cast<double>(i) / 44100.0));
    slow.Add(mono);
    EXPECT_NEAR(slow.Integrated(), -3.01, 0.02);
}

TEST(LoudnessMeterTest, WeightingLiftsHighsAndCutsTheLowestBass)
{
    const double mid = Measure({Sine(997.0, 2.0, 0.1, 0.1)});
    // The curve is +0.7 dB at 1 kHz, +4 dB in the highs, -0.3 dB at 200 Hz.
    EXPECT_NEAR(Measure({Sine(8000.0, 2.0, 0.1, 0.1)}) - mid, 3.3, 0.2);
    EXPECT_NEAR(Measure({Sine(200.0, 2.0, 0.1, 0.1)}) - mid, -1.0, 0.2);
    EXPECT_LT(Measure({Sine(20.0, 2.0, 0.1, 0.1)}) - mid, -10.0);
}

TEST(LoudnessMeterTest, SilenceAndQuietPassagesAreGatedOut)
{
    const double tone = Measure({Sine(997.0, 2.0, 0.1, 0.1)});
    EXPECT_NEAR(Measure({Sine(997.0, 2.0, 0.1, 0.1), std::vector<float>(2 * 480000, 0.0f)}), tone, 0.5);
    // 20 dB under the tone: below the relative gate (counted, it would pull the result 4.7 dB
    // down; the blocks across the change still count); 6 dB under: counted.
    EXPECT_NEAR(Measure({Sine(997.0, 2.0, 0.1, 0.1), Sine(997.0, 4.0, 0.01, 0.01)}), tone, 0.5);
    EXPECT_LT(Measure({Sine(997.0, 2.0, 0.1, 0.1), Sine(997.0, 4.0, 0.05, 0.05)}), tone - 2.0);
    EXPECT_EQ(Measure({std::vector<float>(2 * 48000, 0.0f)}), LoudnessMeter::kSilence);
    EXPECT_EQ(Measure({Sine(997.0, 0.3, 0.1, 0.1)}), LoudnessMeter::kSilence); // shorter than a block
}
