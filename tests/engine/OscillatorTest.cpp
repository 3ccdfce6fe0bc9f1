#include "EngineTestSupport.h"

#include "engine/IncrementTable.h"
#include "engine/OscillatorBank.h"
#include "engine/PitchTables.h"
#include "engine/WaveTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <tuple>

namespace zr::test
{
namespace
{

double MidiHz(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

TEST(NoteFrequency, TabulatedPointsAndClampingEnds)
{
    EXPECT_DOUBLE_EQ(NoteFrequency(0), 8.176);
    EXPECT_DOUBLE_EQ(NoteFrequency(128 * 69), 440.0);
    EXPECT_DOUBLE_EQ(NoteFrequency(128 * 124), 10548.08);
    EXPECT_DOUBLE_EQ(NoteFrequency(128 * 127), 12543.85);
    EXPECT_DOUBLE_EQ(NoteFrequency(17280), 19912.127);
    EXPECT_DOUBLE_EQ(NoteFrequency(1 << 30), 19912.127);
    EXPECT_DOUBLE_EQ(NoteFrequency(-17280), 0.0033570162);
    EXPECT_DOUBLE_EQ(NoteFrequency(-(1 << 30)), 0.0033570162);
    // Linear, not exponential, between semitones.
    EXPECT_DOUBLE_EQ(NoteFrequency(128 * 69 + 64), (440.0 + 466.164) / 2);
    EXPECT_NEAR(NoteFrequency(-128 * 12), 4.088, 1e-9);
}

TEST(PitchUnits, CentsTruncateTowardZero)
{
    EXPECT_EQ(pitch::CentsToUnits(33), 42);
    EXPECT_EQ(pitch::CentsToUnits(-33), -42);
    EXPECT_EQ(pitch::CentsToUnits(100), 128);
    EXPECT_EQ(pitch::CentsToUnits(-800), -1024);
}

TEST(WaveTables, TopLevelIsPureAndTriangleHasOddCosines)
{
    const WaveTables& w = WaveTables::Instance();
    for (int j = 0; j < WaveTables::kSize; j += 97)
    {
        const double x = 2 * std::numbers::pi * j / WaveTables::kSize;
        EXPECT_NEAR(w.Saw(10)[j], 0.5 * std::sin(x), 1e-12);
        EXPECT_NEAR(w.Triangle(10)[j], 0.5 * std::cos(x), 1e-12);
    }
    // At phase 0 the triangle sums 0.5 / i^2 over odd i up to 1024: close to 0.5 * pi^2 / 8.
    EXPECT_NEAR(w.Triangle(0)[0], 0.5 * std::numbers::pi * std::numbers::pi / 8, 1e-3);
    // Level 9 (two harmonics): the triangle has no second harmonic, the saw's is tapered to 0.54.
    EXPECT_NEAR(w.Triangle(9)[0], 0.5, 1e-12);
    EXPECT_NEAR(w.Saw(9)[1024], 0.5, 1e-12); // sin(pi/2) + 0.135 * sin(pi)
    EXPECT_NEAR(w.Saw(9)[512], 0.5 * std::sin(std::numbers::pi / 4) + 0.54 * 0.25, 1e-12);
}

TEST(IncrementTable, EntriesFollowTheRateAndClamp)
{
    for (double fs : kRates)
    {
        IncrementTable table;
        table.Build(fs);
        EXPECT_EQ(table.At(IncrementTable::kMasterBase),
                  static_cast<std::uint32_t>(16.352 * pitch::kPhaseOne / static_cast<float>(fs)));
        EXPECT_EQ(table.At(-5), table.At(0));
        EXPECT_EQ(table.At(IncrementTable::kLast + 1000), table.At(IncrementTable::kLast));
        EXPECT_EQ(
            table.At(IncrementTable::kLast),
            static_cast<std::uint32_t>(NoteFrequency(17279) * pitch::kPhaseOne / static_cast<float>(fs)));
    }
}

struct BankFixture
{
    IncrementTable table;
    std::vector<int> fm = std::vector<int>(64, 0);
    OscillatorBank bank{table};

    explicit BankFixture(double fs)
    {
        table.Build(fs);
        bank.SetUp(fs, fm.data());
    }
};

TEST(OscillatorBank, RetuneClampsAtBothTableEnds)
{
    BankFixture f(44100.0);
    f.fm[0] = 100000;
    f.bank.Retune();
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(f.bank.Increment(k), f.table.At(IncrementTable::kLast));
    f.fm[0] = -100000;
    f.bank.Retune();
    EXPECT_EQ(f.bank.Increment(5), f.table.At(0));
}

TEST(OscillatorBank, VoicePitchBeyondTheTableClamps)
{
    BankFixture f(44100.0);
    f.bank.SetOctave(OscillatorBank::kFootage2);
    f.bank.SetCoarse(800);
    auto render = [&](int fm)
    {
        std::fill(f.fm.begin(), f.fm.end(), fm);
        std::vector<double> out(64);
        VoicePhase phase;
        f.bank.RenderNoteSignal(out.data(), 64, 0, 10, 7, phase);
        return out;
    };
    EXPECT_EQ(render(0), render(30000));       // key 127 at 2' + 800 cents is already past the top
    EXPECT_EQ(render(-40000), render(-60000)); // both below entry 0
    EXPECT_NE(render(-20000), render(-21000)); // inside the table the pitch still moves
}

TEST(OscillatorBank, TableLevelFollowsTheIncrement)
{
    EXPECT_EQ(OscillatorBank::TableLevel(0), 0);
    EXPECT_EQ(OscillatorBank::TableLevel((1u << 17) - 1), 0);
    EXPECT_EQ(OscillatorBank::TableLevel(1u << 17), 1);
    EXPECT_EQ(OscillatorBank::TableLevel((1u << 18) - 1), 1);
    EXPECT_EQ(OscillatorBank::TableLevel(1u << 18), 2);
    EXPECT_EQ(OscillatorBank::TableLevel(1u << 26), 10);
    EXPECT_EQ(OscillatorBank::TableLevel(0xFFFFFFFFu), 10);
    // About 21.5 Hz at 44.1 kHz is the last pitch with all 1,024 harmonics.
    IncrementTable table;
    table.Build(44100.0);
    EXPECT_EQ(OscillatorBank::TableLevel(table.At(IncrementTable::kCenter + 128 * 16)), 0); // 20.6 Hz
    EXPECT_EQ(OscillatorBank::TableLevel(table.At(IncrementTable::kCenter + 128 * 18)), 1); // 23.1 Hz
    // One octave higher is one level up.
    EXPECT_EQ(OscillatorBank::TableLevel(table.At(IncrementTable::kCenter + 128 * 30)), 2); // 46.2 Hz
}

// Key 89 (F6) lies 0.23 semitone above the edge between levels 6 and 7 at 44.1 kHz.
constexpr int kKey89Entry = IncrementTable::kCenter + 128 * 89;

TEST(OscillatorBank, MovingPitchKeepsTheLevelWithFewerHarmonics)
{
    IncrementTable table;
    table.Build(44100.0);
    const auto at = [&](int units) { return table.At(kKey89Entry + units); };
    ASSERT_EQ(OscillatorBank::TableLevel(at(0)), 7);
    ASSERT_EQ(OscillatorBank::TableLevel(at(-64)), 6);
    // A voice's first read and a pitch at or above its level's edge take the level of the pitch.
    EXPECT_EQ(OscillatorBank::NextLevel(at(-64), VoicePhase::kNoLevel), 6);
    EXPECT_EQ(OscillatorBank::NextLevel(at(0), 6), 7);
    EXPECT_EQ(OscillatorBank::NextLevel(at(0), 7), 7);
    // Falling below the edge keeps level 7 for about a semitone (the 8 harmonics of level 7 stay
    // below half the sample rate there), then gives way to level 6.
    EXPECT_EQ(OscillatorBank::NextLevel(at(-64), 7), 7);
    EXPECT_EQ(OscillatorBank::NextLevel(at(-128 - 16), 7), 7);
    EXPECT_EQ(OscillatorBank::NextLevel(at(-128 - 60), 7), 6);
    // A fall of more than an octave at once still ends at most one level above the pitch's own.
    EXPECT_EQ(OscillatorBank::NextLevel(at(-64 - 12 * 128), 7), 6);
    EXPECT_EQ(OscillatorBank::NextLevel(at(-12 * 128), 9), 6);
    // Whatever the voice read before, it never takes a level whose top harmonic aliases.
    for (int units = -6000; units <= 6000; units += 37)
        for (int current = VoicePhase::kNoLevel; current < WaveTables::kLevels; ++current)
            ASSERT_GE(OscillatorBank::NextLevel(at(units), current), OscillatorBank::TableLevel(at(units)))
                << units << " " << current;
}

TEST(OscillatorBank, LevelChangeFadesOverOneAndAHalfMilliseconds)
{
    constexpr double kFs = 44100.0;
    constexpr int kFade = 66; // 1.5 ms
    IncrementTable table;
    table.Build(kFs);
    std::vector<int> fm(256, 0);
    OscillatorBank bank(table);
    bank.SetUp(kFs, fm.data());
    bank.Retune();
    bank.Advance(5000);
    std::fill(fm.begin() + 64, fm.end(), -256); // two semitones down from sample 64 on
    VoicePhase phase;
    std::vector<double> out(256);
    bank.RenderNoteSignal(out.data(), 64, 0, 7, 5, phase);
    EXPECT_EQ(phase.level, 7);
    std::uint32_t f = phase.main;
    bank.RenderNoteSignal(out.data() + 64, 192, 64, 7, 5, phase);
    EXPECT_EQ(phase.level, 6);
    EXPECT_EQ(phase.fadeLeft, 0);

    const std::uint32_t r = table.At(kKey89Entry - 256);
    const double* before = WaveTables::Instance().Saw(7);
    const double* after = WaveTables::Instance().Saw(6);
    double lastWeight = 1.0;
    for (int j = 0; j < 192; ++j)
    {
        f = (f + r) & pitch::kPhaseMask;
        const double x = out[64 + j];
        const double oldRead = before[f >> WaveTables::kIndexShift];
        const double newRead = after[f >> WaveTables::kIndexShift];
        if (j == 0)
        {
            EXPECT_NEAR(x, oldRead, 1e-12);
        }
        if (j >= kFade)
        {
            ASSERT_EQ(x, newRead) << j;
            continue;
        }
        // The old level's share falls steadily from 1 to 0 over the fade.
        if (std::abs(oldRead - newRead) < 1e-3) continue;
        const double weight = (x - newRead) / (oldRead - newRead);
        EXPECT_LE(weight, lastWeight + 1e-9) << j;
        EXPECT_NEAR(weight, 1.0 - static_cast<double>(j) / kFade, 1e-9) << j;
        lastWeight = weight;
    }
}

// Renders key 89 tick by tick (44 samples, split into chunks of 30 and 14) with the pitch offset
// fm(t) at absolute sample t; each chunk is left to check(tick, bank, p, m, phase).
template <class Check> void PlayKey89(std::function<int(long)> fm, int ticks, Check check)
{
    constexpr int kTick = 44;
    IncrementTable table;
    table.Build(44100.0);
    std::vector<int> buffer(kTick);
    OscillatorBank bank(table);
    bank.SetUp(44100.0, buffer.data());
    VoicePhase phase;
    for (int tick = 0; tick < ticks; ++tick)
    {
        for (int t = 0; t < kTick; ++t)
            buffer[t] = fm(static_cast<long>(tick) * kTick + t);
        bank.Retune();
        for (const auto& [p, m] : {std::pair{0, 30}, std::pair{30, 14}})
            check(tick, bank, p, m, phase);
        bank.Advance(kTick);
    }
}

TEST(OscillatorBank, PitchAtRestReturnsToItsOwnLevel)
{
    // Half a semitone down from the first tick on: below the edge, within the kept range.
    std::vector<int> levels;
    PlayKey89([](long t) { return t < 44 ? 0 : -64; }, 110,
              [&](int, const OscillatorBank& bank, int p, int m, VoicePhase& phase)
              {
                  std::vector<double> out(m);
                  bank.RenderNoteSignal(out.data(), m, p, 7, 5, phase);
                  if (p == 0) levels.push_back(phase.level);
              });
    EXPECT_EQ(levels[0], 7);
    EXPECT_EQ(levels[95], 7);  // 94 ms at rest: the pitch may still be moving
    EXPECT_EQ(levels[105], 6); // 104 ms: its own level again
}

// The voice group reads a steady chunk itself (SteadyChunk) or renders it (RenderNoteSignal),
// depending on the other voices of its group, which differ between the kernels: both must give
// the same samples and leave the same state, through holds, fades and rests.
TEST(OscillatorBank, SteadyChunkAgreesWithTheRenderedSignal)
{
    const auto fm = [](long t) -> int
    {
        if (t < 440) return 0;
        if (t < 2200) return -static_cast<int>((t - 440) / 20); // moving down to -88 units
        if (t < 7000) return -88;                               // at rest for 109 ms
        return -88 + 40 * static_cast<int>((t - 7000) / 44);    // a step up on every tick
    };
    VoicePhase rendered;
    int steadyChunks = 0;
    PlayKey89(fm, 200,
              [&](int tick, const OscillatorBank& bank, int p, int m, VoicePhase& read)
              {
                  std::vector<double> expected(m), out(m);
                  bank.RenderNoteSignal(expected.data(), m, p, 7, 5, rendered);
                  const OscillatorBank::SteadyRead steady = bank.SteadyPitch(m, p)
                                                                ? bank.SteadyChunk(m, p, 7, 5, read)
                                                                : OscillatorBank::SteadyRead{};
                  if (steady.Steady())
                  {
                      ++steadyChunks;
                      for (int j = 0; j < m; ++j)
                      {
                          read.main = (read.main + steady.increment) & pitch::kPhaseMask;
                          out[j] = steady.table[read.main >> WaveTables::kIndexShift];
                      }
                  }
                  else
                      bank.RenderNoteSignal(out.data(), m, p, 7, 5, read);
                  ASSERT_EQ(out, expected) << tick;
                  ASSERT_EQ(std::tie(read.main, read.level, read.fadingLevel, read.fadeLeft, read.entry,
                                     read.resting),
                            std::tie(rendered.main, rendered.level, rendered.fadingLevel, rendered.fadeLeft,
                                     rendered.entry, rendered.resting))
                      << tick;
              });
    EXPECT_GT(steadyChunks, 150);
}

TEST(OscillatorBank, TriangleIgnoresThePulseWidth)
{
    BankFixture f(44100.0);
    f.bank.SetWaveform(OscillatorBank::kTriangle);
    f.bank.Retune();
    f.bank.Advance(1000);
    std::vector<double> out(64);
    VoicePhase phase;
    f.bank.RenderNoteSignal(out.data(), 64, 0, 5, 9, phase);
    const double* tri = WaveTables::Instance().Triangle(
        OscillatorBank::TableLevel(f.table.At(IncrementTable::kMasterBase + 128 * (9 + 48))));
    std::uint32_t expectedPhase = (f.bank.Phase(9) << 4) & pitch::kPhaseMask;
    for (int j = 0; j < 64; ++j)
    {
        expectedPhase =
            (expectedPhase + f.table.At(IncrementTable::kMasterBase + 128 * (9 + 48))) & pitch::kPhaseMask;
        ASSERT_EQ(out[j], tri[expectedPhase >> WaveTables::kIndexShift]) << j;
    }
}

TEST(OscillatorBank, TuneCPlus100CentsSoundsCSharp)
{
    BankFixture f(44100.0);
    f.bank.SetTune(0, 100);
    EXPECT_EQ(f.bank.NoteOffset(0), 128);
    EXPECT_EQ(f.bank.NoteOffset(1), 0);
    f.bank.Retune();
    EXPECT_EQ(f.bank.Increment(0), f.bank.Increment(1));
}

TEST(OscillatorBank, PulseWidths)
{
    BankFixture f(48000.0);
    const double widths[] = {0.0, 0.0, 0.5, 0.3, 0.1, 0.5};
    for (int w = 0; w < 6; ++w)
    {
        f.bank.SetWaveform(w);
        EXPECT_DOUBLE_EQ(f.bank.PulseWidth(), widths[w]);
    }
    f.bank.SetPwmDepth(0.0);
    f.bank.UpdatePwm(1.0);
    EXPECT_DOUBLE_EQ(f.bank.PulseWidth(), 0.5); // "PWM Int" 0 gives a square
    f.bank.SetPwmDepth(100.0);
    f.bank.UpdatePwm(1.0);
    EXPECT_DOUBLE_EQ(f.bank.PulseWidth(), 0.95);
    f.bank.UpdatePwm(-1.0);
    EXPECT_DOUBLE_EQ(f.bank.PulseWidth(), 0.5);
    f.bank.SetWaveform(OscillatorBank::kTriangle);
    f.bank.UpdatePwm(1.0);
    EXPECT_DOUBLE_EQ(f.bank.PulseWidth(), 0.0);
}

// Renders one held key through block A alone and measures its pitch.
double KeyFrequency(double fs, int key, int octave, const std::function<void(Engine&)>& adjust = {})
{
    auto engine = MakeEngine(fs);
    SoloBlock(*engine, 0);
    engine->Block(0).SetOctave(octave);
    if (adjust) adjust(*engine);
    const long n = static_cast<long>(fs * (key < 36 ? 0.6 : 0.25));
    const Stereo out = Render(*engine, {{0, NoteOn(key)}}, n, 512);
    const long from = static_cast<long>(fs * 0.02);
    // A silent key leaves only the filter's anti-denormal offset.
    if (Peak(out.left, from, n) < 1e-9) return 0.0;
    return ZeroCrossingFrequency(out.left, from, n, fs);
}

TEST(OscillatorPitch, EveryKeySoundsItsNoteAtEightFoot)
{
    for (double fs : kRates)
        for (int key = 12; key < 128; ++key)
            EXPECT_NEAR(KeyFrequency(fs, key, OscillatorBank::kFootage8) / MidiHz(key), 1.0, 5e-4)
                << "key " << key << " at " << fs;
}

TEST(OscillatorPitch, FootagesShiftByOctavesAndSilenceLowKeys)
{
    for (double fs : kRates)
    {
        EXPECT_NEAR(KeyFrequency(fs, 60, OscillatorBank::kFootage16) / MidiHz(48), 1.0, 5e-4);
        EXPECT_NEAR(KeyFrequency(fs, 60, OscillatorBank::kFootage4) / MidiHz(72), 1.0, 5e-4);
        EXPECT_NEAR(KeyFrequency(fs, 60, OscillatorBank::kFootage2) / MidiHz(84), 1.0, 5e-4);
        EXPECT_EQ(KeyFrequency(fs, 23, OscillatorBank::kFootage16), 0.0);
        EXPECT_NEAR(KeyFrequency(fs, 24, OscillatorBank::kFootage16) / MidiHz(12), 1.0, 5e-4);
        EXPECT_EQ(KeyFrequency(fs, 11, OscillatorBank::kFootage8), 0.0);
    }
}

TEST(OscillatorPitch, TuneCRaisesEveryCByASemitone)
{
    for (double fs : kRates)
    {
        auto tuneC = [](Engine& e) { e.Block(0).SetTune(0, 100); };
        EXPECT_NEAR(KeyFrequency(fs, 60, OscillatorBank::kFootage8, tuneC) / MidiHz(61), 1.0, 5e-4);
        EXPECT_NEAR(KeyFrequency(fs, 62, OscillatorBank::kFootage8, tuneC) / MidiHz(62), 1.0, 5e-4);
    }
}

TEST(OscillatorPitch, EveryWaveformKeepsThePitch)
{
    for (int w = 0; w < OscillatorBank::kWaveformCount; ++w)
    {
        auto wave = [w](Engine& e) { e.Block(0).SetWaveform(w); };
        EXPECT_NEAR(KeyFrequency(48000.0, 57, OscillatorBank::kFootage8, wave) / 220.0, 1.0, 5e-4) << w;
    }
}

TEST(OscillatorPitch, FullPitchBendMovesByTheRange)
{
    auto bend = [](Engine& e)
    {
        e.SetPitchBendRange(2);
        MidiMessage up = PitchBend(127, 127);
        e.HandleMidi(up);
    };
    const double f = KeyFrequency(44100.0, 69, OscillatorBank::kFootage8, bend);
    // 255 pitch units: just under two semitones, piecewise linear within the semitone.
    EXPECT_NEAR(f, NoteFrequency(128 * 69 + 255), 0.3);
}

} // namespace
} // namespace zr::test
