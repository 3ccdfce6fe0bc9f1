// What a moving pitch does to the wave-table level a voice reads: a vibrato around a level's lower
// edge must not switch the top band on and off at every swing, and a bend across a level must not
// tick. Measured on the instrument's output, with the parameters a musician would turn.
#include "support/InstrumentRig.h"

#include "engine/IncrementTable.h"
#include "engine/OscillatorBank.h"
#include "engine/WaveTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace zr
{
namespace
{

constexpr double kRate = 44100.0;

using Signal = std::vector<double>;

void SetNormalized(InstrumentRig& rig, int position, double x)
{
    for (int b = 0; b < Param::kNumBlocks; ++b)
    {
        const int index = Param::BlockParamIndex(b, position);
        rig.SetNormalized(index, x);
    }
}

// Renders n samples in host blocks of blockSize; before each block, onBlock(first sample).
template <class OnBlock> Signal Play(InstrumentRig& rig, long n, int blockSize, OnBlock onBlock)
{
    Signal out;
    for (long start = 0; start < n; start += blockSize)
    {
        onBlock(start);
        rig.Render(blockSize);
        out.insert(out.end(), rig.Left().begin(), rig.Left().begin() + blockSize);
    }
    return out;
}

// Share of the energy of x[from .. from + n) (Hann window) that lies between lowHz and highHz:
// the band's DFT bins, both halves of the spectrum, over the whole energy (Parseval).
double BandShare(const Signal& x, long from, int n, double lowHz, double highHz)
{
    std::vector<double> w(n);
    double total = 0.0;
    for (int i = 0; i < n; ++i)
    {
        w[i] = x[from + i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n));
        total += w[i] * w[i];
    }
    double band = 0.0;
    for (int k = static_cast<int>(std::ceil(lowHz * n / kRate)); k <= static_cast<int>(highHz * n / kRate);
         ++k)
    {
        const std::complex<double> turn = std::polar(1.0, -2.0 * std::numbers::pi * k / n);
        std::complex<double> rotor = 1.0;
        std::complex<double> sum = 0.0;
        for (int i = 0; i < n; ++i, rotor *= turn)
            sum += w[i] * rotor;
        band += 2.0 * std::norm(sum);
    }
    return total > 0.0 ? band / (n * total) : 0.0;
}

// Key 89 (F6, 0.23 semitone above the edge between the levels of 8 and 16 harmonics at 44.1 kHz)
// with the vibrato: "FM MG1" 0.1 (about half a semitone) at "MG1 Freq" 0.38 (4.6 Hz).
// Each dip of the vibrato used to fall below the edge and bring harmonics 9 .. 16 (12 - 22 kHz)
// back for a third of the cycle: two switches per cycle. Now the voice stays on one level.
TEST(TableLevel, VibratoAtALevelEdgeKeepsTheTopBandSteady)
{
    InstrumentRig rig(kRate, 512);
    rig.SetBlockValue(Param::kFmMod, 1.0);
    SetNormalized(rig, Param::kFmMg1, 0.1);
    SetNormalized(rig, Param::kMg1Freq, 0.38);
    const Signal out = Play(rig, static_cast<long>(1.2 * kRate), 512,
                            [&](long start)
                            {
                                if (start == 0) rig.NoteOn(89);
                            });

    constexpr int kWindow = 256;
    constexpr double kOn = 1e-3;  // harmonics 10 .. 14 sounding
    constexpr double kOff = 1e-5; // only leakage from below 12 kHz
    int switches = 0;
    int state = 0; // 1 on, -1 off, 0 not yet known
    double highest = 0.0;
    for (long from = static_cast<long>(0.2 * kRate); from + kWindow <= static_cast<long>(out.size());
         from += kWindow / 2)
    {
        const double share = BandShare(out, from, kWindow, 13000.0, 20000.0);
        highest = std::max(highest, share);
        const int now = share > kOn ? 1 : share < kOff ? -1 : state;
        if (state != 0 && now != state) ++switches;
        state = now;
    }
    // A second of vibrato holds 4.6 cycles: nine switches without the hold of the level.
    EXPECT_LE(switches, 1) << "highest share of 13-20 kHz: " << highest;
}

// Key 96 swept by the pitch wheel over 12 semitones either way, twice: every sweep crosses the
// edges between the levels of 8 and 4 harmonics (7.2 semitones down) and of 4 and 2 harmonics (4.8
// up), four crossings a sweep. A level switched from one sample to the next is a step in the
// signal, and a step spreads energy far below the note's fundamental (1 - 4.2 kHz), where a
// clean sweep has almost none; a faded switch leaves no more there than the sweep itself.
TEST(TableLevel, BendAcrossALevelDoesNotTick)
{
    InstrumentRig rig(kRate, 64);
    rig.SetValue(Param::kPbRange, 12.0);
    constexpr long kSweep = 44100; // samples from the bottom to the top of the wheel
    const Signal out = Play(rig, 4 * kSweep, 64,
                            [&](long start)
                            {
                                if (start == 0) rig.NoteOn(96);
                                const long t = (start + kSweep / 2) % (2 * kSweep);
                                const long up = t < kSweep ? t : 2 * kSweep - t;
                                const int bend = static_cast<int>(16383 * up / kSweep);
                                rig.GetEngine().HandleMidi({0, 0xE0, static_cast<std::uint8_t>(bend & 0x7F),
                                                            static_cast<std::uint8_t>(bend >> 7)});
                            });

    constexpr int kWindow = 1024;
    double worst = 0.0;
    long worstAt = 0;
    for (long from = 2048; from + kWindow <= static_cast<long>(out.size()); from += kWindow / 4)
    {
        const double share = BandShare(out, from, kWindow, 50.0, 600.0);
        if (share > worst) worst = share, worstAt = from;
    }
    EXPECT_LT(worst, 1e-6) << "at sample " << worstAt;
}

} // namespace
} // namespace zr
