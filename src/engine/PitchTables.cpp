#include "engine/PitchTables.h"

#include <array>
#include <cmath>

namespace zr
{

namespace
{
constexpr int kTabulatedNotes = 136;
constexpr double kNoteZeroHz = 8.176;

struct SemitoneTables
{
    std::array<double, kTabulatedNotes> up{};   // MIDI notes 0..135
    std::array<double, kTabulatedNotes> down{}; // 0..135 semitones below note 0

    SemitoneTables()
    {
        for (int n = 0; n < kTabulatedNotes; ++n)
        {
            up[n] = std::round(440.0 * std::pow(2.0, (n - 69) / 12.0) * 1e3) / 1e3;
            down[n] = std::round(kNoteZeroHz * std::pow(2.0, -n / 12.0) * 1e10) / 1e10;
        }
        // These four are kept with two decimals.
        up[124] = 10548.08;
        up[125] = 11175.3;
        up[126] = 11839.82;
        up[127] = 12543.85;
    }
};

const SemitoneTables& Semitones()
{
    static const SemitoneTables tables;
    return tables;
}

double Interpolate(const std::array<double, kTabulatedNotes>& table, int index)
{
    const int s = index / pitch::kUnitsPerSemitone;
    const int u = index % pitch::kUnitsPerSemitone;
    return table[s] + (table[s + 1] - table[s]) * u / pitch::kUnitsPerSemitone;
}
} // namespace

int pitch::CentsToUnits(double cents)
{
    return static_cast<int>(kCentsToUnits * cents);
}

double NoteFrequency(int pitchIndex)
{
    const SemitoneTables& t = Semitones();
    if (pitchIndex >= pitch::kTableTop) return t.up[kTabulatedNotes - 1];
    if (pitchIndex <= -pitch::kTableTop) return t.down[kTabulatedNotes - 1];
    if (pitchIndex >= 0) return Interpolate(t.up, pitchIndex);
    return Interpolate(t.down, -pitchIndex);
}

} // namespace zr
