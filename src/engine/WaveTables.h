#pragma once

#include <vector>

namespace zr
{

// Band-limited single-cycle tables, built once per process and never changed afterwards, so all
// instances and threads may read them without locking. Two families (tapered sawtooth, odd-harmonic
// triangle) of 11 levels; level L holds 1024 >> L harmonics.
class WaveTables
{
public:
    static constexpr int kLevels = 11;
    static constexpr int kSize = 4096;
    static constexpr int kIndexShift = 16; // a 28-bit phase >> 16 gives the 12-bit table index

    // Thread-safe; builds the tables on first use.
    static const WaveTables& Instance();

    const double* Saw(int level) const { return &samples_[Offset(0, level)]; }
    const double* Triangle(int level) const { return &samples_[Offset(1, level)]; }

private:
    WaveTables();
    static int Offset(int family, int level) { return (family * kLevels + level) * kSize; }

    std::vector<double> samples_;
};

} // namespace zr
