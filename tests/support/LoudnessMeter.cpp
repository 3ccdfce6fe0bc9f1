#include "support/LoudnessMeter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zr::test
{

namespace
{
// The weighting curve's analogue prototype: a high shelf of about +4 dB above 1.7 kHz and a
// second-order high pass at 38 Hz, turned into filters for any rate by the bilinear transform.
constexpr double kShelfHz = 1681.974450955533;
constexpr double kShelfGainDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
constexpr double kShelfBandExponent = 0.4996667741545416;
constexpr double kHighPassHz = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;

constexpr double kOffset = -0.691; // makes a full-scale 997 Hz sine in one channel read -3.01
constexpr double kSegmentSeconds = 0.1;
constexpr std::size_t kSegmentsPerBlock = 4;
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = -10.0;

double ToLufs(double power)
{
    return power > 0.0 ? kOffset + 10.0 * std::log10(power) : LoudnessMeter::kSilence;
}
} // namespace

double LoudnessMeter::Biquad::Run(double x)
{
    const double y = b[0] * x + b[1] * x1 + b[2] * x2 - a[1] * y1 - a[2] * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

LoudnessMeter::Weighting LoudnessMeter::MakeWeighting(double sampleRate)
{
    Weighting w;
    double k = std::tan(std::numbers::pi * kShelfHz / sampleRate);
    const double vh = std::pow(10.0, kShelfGainDb / 20.0);
    const double vb = std::pow(vh, kShelfBandExponent);
    double a0 = 1.0 + k / kShelfQ + k * k;
    w.shelf.b = {(vh + vb * k / kShelfQ + k * k) / a0, 2.0 * (k * k - vh) / a0,
                 (vh - vb * k / kShelfQ + k * k) / a0};
    w.shelf.a = {1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / kShelfQ + k * k) / a0};
    k = std::tan(std::numbers::pi * kHighPassHz / sampleRate);
    a0 = 1.0 + k / kHighPassQ + k * k;
    w.highPass.b = {1.0, -2.0, 1.0};
    w.highPass.a = {1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / kHighPassQ + k * k) / a0};
    return w;
}

LoudnessMeter::LoudnessMeter(double sampleRate, int channels)
    : channels_(std::clamp(channels, 1, 2)),
      segmentFrames_(std::max(1, static_cast<int>(std::lround(kSegmentSeconds * sampleRate)))),
      weighting_(static_cast<std::size_t>(channels_), MakeWeighting(sampleRate))
{
}

void LoudnessMeter::Add(std::span<const float> interleaved)
{
    const auto channels = static_cast<std::size_t>(channels_);
    for (std::size_t frame = 0; frame + channels <= interleaved.size(); frame += channels)
    {
        for (std::size_t c = 0; c < channels; ++c)
        {
            Weighting& w = weighting_[c];
            const double y = w.highPass.Run(w.shelf.Run(interleaved[frame + c]));
            segmentSum_ += y * y;
        }
        if (++framesInSegment_ == segmentFrames_)
        {
            segmentSums_.push_back(segmentSum_);
            segmentSum_ = 0.0;
            framesInSegment_ = 0;
        }
    }
}

double LoudnessMeter::BlockPower(std::size_t last) const
{
    double sum = 0.0;
    for (std::size_t s = last + 1 - kSegmentsPerBlock; s <= last; ++s)
        sum += segmentSums_[s];
    return sum / (static_cast<double>(kSegmentsPerBlock) * segmentFrames_);
}

double LoudnessMeter::Integrated() const
{
    std::vector<double> blocks;
    for (std::size_t last = kSegmentsPerBlock - 1; last < segmentSums_.size(); ++last)
        if (const double power = BlockPower(last); ToLufs(power) > kAbsoluteGate) blocks.push_back(power);
    const auto mean = [](const std::vector<double>& powers)
    {
        double sum = 0.0;
        for (double p : powers)
            sum += p;
        return powers.empty() ? 0.0 : sum / static_cast<double>(powers.size());
    };
    const double threshold = ToLufs(mean(blocks)) + kRelativeGate;
    std::erase_if(blocks, [threshold](double power) { return ToLufs(power) <= threshold; });
    return ToLufs(mean(blocks));
}

} // namespace zr::test
