#pragma once

#include <array>
#include <string_view>

namespace zr
{

// Number of scale degrees of a tuning (degree 12 is the octave) and of note names per block.
inline constexpr int kDegreeCount = 12;
// Number of built-in tunings offered by the block's tuning menu.
inline constexpr int kTuningCount = 14;

// One built-in tuning: its menu name and the cents of degrees 1 to 12 above the reference note A.
struct Tuning
{
    std::string_view name;
    std::array<double, kDegreeCount> degreeCents;
};

// The built-in tunings in menu order (0 "Equal" … 13 "Heptatonic").
const std::array<Tuning, kTuningCount>& BuiltInTunings();

} // namespace zr
