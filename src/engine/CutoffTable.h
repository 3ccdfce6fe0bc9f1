#pragma once

#include <algorithm>
#include <vector>

namespace zr
{

// Prewarped filter coefficient g = tan(pi f / fs) for every pitch index 0 .. 17,280, for one
// instance's sample rate. Frequencies are limited to kNyquistLimit * fs so the filter stays stable
// at low sample rates.
class CutoffTable
{
public:
    static constexpr int kLast = 17280;
    static constexpr double kNyquistLimit = 0.49;

    CutoffTable();

    // Set-up thread. Rebuilds all entries for sample rate fs (ignored below 1 Hz).
    void Build(double fs);

    // Entry with the index clamped to the table.
    double At(int pitchIndex) const { return entries_[std::clamp(pitchIndex, 0, kLast)]; }

private:
    std::vector<double> entries_;
};

} // namespace zr
