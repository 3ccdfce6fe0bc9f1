// Programme loudness as broadcast meters measure it (ITU-R BS.1770): K-weighted mean square,
// 400 ms blocks every 100 ms, an absolute gate at -70 LUFS and a relative gate 10 LU below the
// level of the blocks that pass the first.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace zr::test
{

class LoudnessMeter
{
public:
    static constexpr double kSilence = -200.0; // what Integrated() reports when no block passes

    // channels 1 or 2, each weighted 1.
    LoudnessMeter(double sampleRate, int channels);

    // Interleaved frames, in any number of calls.
    void Add(std::span<const float> interleaved);
    // Integrated loudness of everything added so far, LUFS.
    double Integrated() const;

private:
    // One second-order section, direct form I.
    struct Biquad
    {
        std::array<double, 3> b{};
        std::array<double, 3> a{}; // a[0] is 1
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        double Run(double x);
    };
    struct Weighting
    {
        Biquad shelf;
        Biquad highPass;
    };

    static Weighting MakeWeighting(double sampleRate);
    // Mean square of the 400 ms block ending with segment last.
    double BlockPower(std::size_t last) const;

    int channels_;
    int segmentFrames_;
    int framesInSegment_ = 0;
    std::vector<Weighting> weighting_;
    double segmentSum_ = 0.0;         // all channels, current 100 ms segment
    std::vector<double> segmentSums_; // finished segments
};

} // namespace zr::test
