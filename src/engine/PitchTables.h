#pragma once

#include <cstdint>

namespace zr
{

// Pitches inside the engine are integer indices in 1/128 semitone ("pitch units"): index 128 * n
// is MIDI note n, index 0 is 8.176 Hz.
namespace pitch
{
constexpr int kUnitsPerSemitone = 128;
constexpr int kTableTop = 17280;              // index of the highest tabulated note (135)
constexpr double kCentsToUnits = 1.28;        // 128 units per 100 cents
constexpr std::uint32_t kPhaseOne = 1u << 28; // one oscillator cycle
constexpr std::uint32_t kPhaseMask = kPhaseOne - 1;

// Converts cents to pitch units, truncating toward zero.
int CentsToUnits(double cents);
} // namespace pitch

// Frequency in Hz of a pitch index: piecewise linear between the tabulated semitones above
// and below MIDI note 0, clamped at both ends of the table.
double NoteFrequency(int pitchIndex);

} // namespace zr
