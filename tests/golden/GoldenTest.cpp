// Golden tests: the engine's output for several patches, pinned to reference arrays in this folder.
// They guard every change to the render path that is meant to leave the sound alone (speed work):
// a difference in any stored sample fails.
//
// Comparison is bit-exact. The render path may process voices side by side, but each voice still
// computes the same operations in the same order and the block sums the voices in slot order, so
// no reordering of floating-point arithmetic is needed. The same holds across the voice kernels
// (baseline, AVX2, AVX-512): every case is rendered through each kernel this processor runs and
// compared sample by sample with the baseline kernel.
//
// After an intended change of the sound, regenerate the references and review the diff:
//   ZR_GOLDEN_REGENERATE=1 ctest --test-dir build -R Golden
#include "engine/VoiceKernel.h"
#include "modulation/HostClock.h"
#include "modulation/NoiseGenerator.h"
#include "support/InstrumentRig.h"
#include "support/ModulationPatch.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

namespace zr
{
namespace
{

constexpr double kRate = 44100.0;
constexpr int kTick = 44;
constexpr int kRendered = 4096; // samples rendered per case
constexpr int kStride = 8;      // every 8th sample is stored: 512 values per case

using Signal = std::vector<double>;

// The voice kernel the cases render with (the plug-in's own choice unless a test sets another).
const VoiceKernel* renderKernel = &VoiceKernel::Best();

void UseRenderKernel(InstrumentRig& rig)
{
    for (SynthBlock& block : rig.GetEngine().Blocks())
        block.SetVoiceKernel(*renderKernel);
}

// ---- Block-level cases: one SynthBlock fed directly, with per-sample modulation buffers --------

struct BlockRig
{
    BlockRig() : block(increments, cutoffs, clock)
    {
        increments.Build(kRate);
        cutoffs.Build(kRate);
        block.SetVoiceKernel(*renderKernel);
        block.SetUp(kRate, kTick);
        block.SetCutoff(0.75);
        block.ForEachVoice(
            [](Voice& voice)
            {
                voice.SetEmSustain(0.7);
                voice.SetEmDecay(0.3);
                voice.SetEmRelease(EM::kDamp);
                voice.SetPeak(0.5);
                voice.SetKbdBal(0.3);
                voice.SetFcBal(0.5);
                voice.SetExpand(0.2);
            });
    }

    // Per-tick modulation: fm(t) and cutoff(t) in pitch units at absolute sample t, am(t), pwm(tick).
    std::function<int(long)> fm = [](long) { return 0; };
    std::function<int(long)> cutoffMod = [](long) { return 0; };
    std::function<double(long)> am = [](long) { return 0.0; };
    std::function<double(long)> pwm = [](long) { return 0.0; };
    // Called at every tick start with the tick number (note starts and releases).
    std::function<void(long)> events = [](long) {};

    // Renders in host chunks of chunkSize, so ticks are split across chunks when it is not a
    // multiple of the tick.
    Signal Play(int chunkSize)
    {
        Signal left(kRendered, 0.0);
        Signal right(kRendered, 0.0);
        long tick = -1;
        int p = kTick;
        for (long start = 0; start < kRendered;)
        {
            if (p == kTick)
            {
                ++tick;
                p = 0;
                events(tick);
                for (int t = 0; t < kTick; ++t)
                {
                    const long at = tick * kTick + t;
                    block.FmBuffer()[t] = fm(at);
                    block.CutoffModBuffer()[t] = cutoffMod(at);
                    block.AmBuffer()[t] = am(at);
                    block.ChannelUpdate(t, true, 1.0);
                }
                block.TickUpdate(pwm(tick), 0.25);
            }
            const int m = static_cast<int>(std::min<long>({chunkSize, kTick - p, kRendered - start}));
            block.Render(&left[start], &right[start], m, p);
            p += m;
            start += m;
        }
        return left;
    }

    IncrementTable increments;
    CutoffTable cutoffs;
    HostClock clock;
    SynthBlock block;
};

int Sine(long t, double period, double depth)
{
    return static_cast<int>(depth * std::sin(2.0 * std::numbers::pi * t / period));
}

void StartChord(SynthBlock& block, std::initializer_list<int> keys)
{
    int serial = 0;
    for (int key : keys)
        block.Assign(key, ++serial);
}

Signal PlainSaw()
{
    BlockRig rig;
    rig.events = [&](long tick)
    {
        // Key 10 is below the 8' range: a silent voice among sounding ones.
        if (tick == 0) StartChord(rig.block, {36, 48, 10, 55, 64, 71, 79, 88, 100});
        if (tick == 60) rig.block.ReleaseKey(55);
    };
    return rig.Play(512);
}

Signal FmSquare()
{
    BlockRig rig;
    rig.block.SetWaveform(OscillatorBank::kSquare);
    rig.block.SetOctave(OscillatorBank::kFootage4);
    rig.fm = [](long t) { return Sine(t, 300.0, 700.0); };
    rig.events = [&](long tick)
    {
        if (tick == 0) StartChord(rig.block, {24, 40, 67, 96, 120});
    };
    return rig.Play(100);
}

// A pitch offset that steps once per tick, as a bend does, sweeping a chord across several table
// levels: steady chunks, chunks in which a level changes, the fades after them, ticks split over
// two chunks. More voices than the baseline kernel runs at once: a voice whose group renders its
// signal in one kernel may read its tables itself in another.
Signal BendStepsAcrossLevels()
{
    BlockRig rig;
    rig.block.SetWaveform(OscillatorBank::kRect);
    rig.fm = [](long t) { return Sine(t / kTick * kTick, 2200.0, 1400.0); };
    rig.events = [&](long tick)
    {
        if (tick == 0) StartChord(rig.block, {29, 41, 48, 53, 60, 65, 72, 77, 84, 89, 96, 101});
    };
    return rig.Play(30);
}

Signal CutoffSweepTriangle()
{
    BlockRig rig;
    rig.block.SetWaveform(OscillatorBank::kTriangle);
    rig.block.ForEachVoice([](Voice& voice) { voice.SetPeak(1.0); });
    rig.cutoffMod = [](long t) { return Sine(t, 700.0, 3000.0); };
    rig.events = [&](long tick)
    {
        if (tick == 0) StartChord(rig.block, {45, 52, 57, 61});
        if (tick == 40) rig.block.ReleaseAll();
        if (tick == 50) StartChord(rig.block, {57, 69});
    };
    return rig.Play(64);
}

Signal ResonatorsAndAm()
{
    BlockRig rig;
    rig.block.SetWaveform(OscillatorBank::kRect);
    rig.block.SetResonatorIntensity(0.8);
    rig.block.SetResonatorFrequency(1, 0.35);
    rig.block.SetAmOn(true);
    rig.block.SetAmDepth(0.4);
    rig.am = [](long t) { return std::sin(2.0 * std::numbers::pi * t / 900.0); };
    rig.events = [&](long tick)
    {
        if (tick == 0) StartChord(rig.block, {43, 50, 59, 62, 74});
    };
    return rig.Play(37);
}

Signal PwmWithEnvelopes()
{
    BlockRig rig;
    rig.block.SetWaveform(OscillatorBank::kPwm);
    rig.block.SetPwmInt(80.0);
    rig.block.ForEachVoice(
        [](Voice& voice)
        {
            voice.SetEmAttack(0.3);
            voice.SetEmRelease(EM::kHalfDamp);
            voice.SetEmSustain(0.4);
        });
    rig.pwm = [](long tick) { return std::sin(tick / 7.0); };
    rig.events = [&](long tick)
    {
        // Every key restarts before its voice ends; the 65th key steals the oldest voice.
        if (tick % 5 == 0 && tick < 80)
            rig.block.Assign(30 + static_cast<int>(tick) % 70, static_cast<int>(tick));
        if (tick % 5 == 2 && tick < 80) rig.block.ReleaseKey(30 + static_cast<int>(tick - 2) % 70);
    };
    return rig.Play(1000);
}

// More voices than the widest kernel runs at once (several runs per block, partly filled vectors),
// cutoff moving every sample, envelopes ending their stages at different samples, ticks split
// across host chunks.
Signal ManyVoices()
{
    BlockRig rig;
    rig.block.ForEachVoice([](Voice& voice) { voice.SetPeak(0.8); });
    rig.cutoffMod = [](long t) { return Sine(t, 1100.0, 1500.0); };
    rig.events = [&](long tick)
    {
        for (int i = 0; i < 41; ++i)
        {
            const int key = 20 + 2 * i;
            if (tick == i % 7) rig.block.Assign(key, i + 1);
            if (tick == 30 + i % 11) rig.block.ReleaseKey(key);
        }
    };
    return rig.Play(45);
}

// Held voices (settled envelopes) whose filter states are broken in the middle of a chunk: NaN in
// one voice, infinity in another. NaN is cleared at the next sample; an infinite state first turns
// into NaN (one NaN output sample), then is cleared. The voices beside them are not disturbed.
Signal BrokenFilterStates()
{
    BlockRig rig;
    rig.block.ForEachVoice([](Voice& voice) { voice.SetEmSustain(1.0); });
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    rig.events = [&](long tick)
    {
        if (tick == 0) StartChord(rig.block, {36, 43, 48, 52, 55, 60, 64, 67, 72});
        if (tick == 30) rig.block.GetVoice(3).Filter().SetState({nan, 0.1, nan});
        if (tick == 45) rig.block.GetVoice(5).Filter().SetState({0.0, inf, 0.0});
        if (tick == 60) rig.block.GetVoice(8).Filter().SetState({-inf, nan, inf});
    };
    return rig.Play(30);
}

// ---- Instrument-level cases: the engine with the parameter table and its defaults --------------

Signal Subsample(const Signal& full)
{
    Signal out;
    for (std::size_t i = 0; i < full.size(); i += kStride)
        out.push_back(full[i]);
    return out;
}

// Plays the rig for kRendered samples in host blocks of blockSize, with actions at sample offsets.
Signal PlayInstrument(InstrumentRig& rig, int blockSize, const std::function<void(long)>& at)
{
    Signal left;
    for (long start = 0; start < kRendered; start += blockSize)
    {
        at(start);
        const int n = static_cast<int>(std::min<long>(blockSize, kRendered - start));
        rig.Render(n);
        left.insert(left.end(), rig.Left().begin(), rig.Left().begin() + n);
    }
    return left;
}

Signal InstrumentBendChord()
{
    InstrumentRig rig(kRate, 256);
    UseRenderKernel(rig);
    rig.SetValue(Param::kPbRange, 7.0);
    rig.SetBlockValue(Param::kPeak, 0.6);
    rig.SetValue(Param::BlockParamIndex(1, Param::kWaveform), OscillatorBank::kTriangle);
    rig.SetValue(Param::BlockParamIndex(2, Param::kRsInt), 0.5);
    return PlayInstrument(rig, 256,
                          [&](long start)
                          {
                              if (start == 0)
                                  for (int key : {48, 60, 63, 67})
                                      rig.NoteOn(key);
                              if (start > 0 && start < 3000)
                              {
                                  const int bend = static_cast<int>(start / 256 * 900 % 16384);
                                  rig.GetEngine().HandleMidi({0, 0xE0, static_cast<std::uint8_t>(bend & 0x7F),
                                                              static_cast<std::uint8_t>(bend >> 7)});
                              }
                              if (start == 3072) rig.NoteOff(60);
                          });
}

// Every modulation source patched (noise through the sample and hold into FM, MGs, envelope,
// processors, lags), a chord with mod wheel and bend moves, one key released.
Signal InstrumentEverySource(int waveformA, int waveformB, int mg1WaveB)
{
    InstrumentRig rig(kRate, 200);
    UseRenderKernel(rig);
    PatchEverySource(rig);
    rig.SetBlockValue(Param::kPeak, 0.7);
    rig.SetValue(Param::kPbRange, 2.0);
    rig.SetValue(Param::BlockParamIndex(0, Param::kWaveform), waveformA);
    rig.SetValue(Param::BlockParamIndex(1, Param::kWaveform), waveformB);
    rig.SetValue(Param::BlockParamIndex(1, Param::kMg1Wave), mg1WaveB);
    rig.SetValue(Param::BlockParamIndex(2, Param::kWaveform), OscillatorBank::kSquare);
    return PlayInstrument(rig, 200,
                          [&](long start)
                          {
                              if (start == 0)
                                  for (int key : {40, 52, 59, 64, 71, 83})
                                      rig.NoteOn(key);
                              if (start == 1000) rig.GetEngine().HandleMidi({0, 0xB0, 1, 90});
                              if (start == 1600) rig.GetEngine().HandleMidi({0, 0xE0, 0, 100});
                              if (start == 2400) rig.NoteOff(59);
                          });
}

Signal InstrumentEverySourceSaw()
{
    return InstrumentEverySource(OscillatorBank::kSawtooth, OscillatorBank::kTriangle, 0);
}

Signal InstrumentEverySourcePwmNoise()
{
    constexpr int kWhiteNoise = 4; // "MG1 Wave" list entry
    return InstrumentEverySource(OscillatorBank::kPwm, OscillatorBank::kPulse, kWhiteNoise);
}

struct GoldenCase
{
    const char* name;
    Signal (*render)();
};

const GoldenCase kCases[] = {
    {"plain_saw", PlainSaw},
    {"fm_square", FmSquare},
    {"bend_steps_across_levels", BendStepsAcrossLevels},
    {"cutoff_sweep_triangle", CutoffSweepTriangle},
    {"resonators_am", ResonatorsAndAm},
    {"pwm_envelopes", PwmWithEnvelopes},
    {"broken_filter_states", BrokenFilterStates},
    {"many_voices", ManyVoices},
    {"instrument_bend_chord", InstrumentBendChord},
    {"instrument_every_source_saw", InstrumentEverySourceSaw},
    {"instrument_every_source_pwm_noise", InstrumentEverySourcePwmNoise},
};

void PrintTo(const GoldenCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string GoldenPath(const char* name)
{
    const char* dir = std::getenv("ZR_TEST_DATA");
    return std::string(dir ? dir : ".") + "/" + name + ".txt";
}

bool Regenerating()
{
    const char* flag = std::getenv("ZR_GOLDEN_REGENERATE");
    return flag && std::string(flag) == "1";
}

void Write(const std::string& path, const Signal& values)
{
    std::ofstream out(path);
    char text[32];
    for (double v : values)
    {
        const auto result = std::to_chars(text, text + sizeof text, v);
        out.write(text, result.ptr - text).put('\n');
    }
}

Signal Read(const std::string& path)
{
    Signal values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        double v = 0.0;
        if (std::from_chars(line.data(), line.data() + line.size(), v).ec != std::errc()) return {};
        values.push_back(v);
    }
    return values;
}

// Renders a case through a kernel. The noise generator is process-wide: every render starts it from
// the same state, so a case gives the same output alone, after the others or under ctest.
Signal Render(const GoldenCase& c, const VoiceKernel& kernel)
{
    renderKernel = &kernel;
    NoiseGenerator::SetState(NoiseGenerator::kInitialState);
    Signal signal = c.render();
    renderKernel = &VoiceKernel::Best();
    return signal;
}

bool SameSample(double a, double b)
{
    // An infinite filter state gives one NaN sample before the state is cleared.
    return a == b || (std::isnan(a) && std::isnan(b));
}

class Golden : public ::testing::TestWithParam<GoldenCase>
{
};

TEST_P(Golden, OutputMatchesTheReference)
{
    const GoldenCase& c = GetParam();
    const Signal actual = Subsample(Render(c, VoiceKernel::Best()));
    const std::string path = GoldenPath(c.name);
    if (Regenerating())
    {
        Write(path, actual);
        GTEST_SKIP() << "regenerated " << path;
    }
    const Signal expected = Read(path);
    ASSERT_EQ(expected.size(), actual.size()) << path;
    double peak = 0.0;
    for (std::size_t i = 0; i < actual.size(); ++i)
    {
        ASSERT_PRED2(SameSample, actual[i], expected[i]) << c.name << " sample " << i * kStride;
        peak = std::max(peak, std::abs(actual[i]));
    }
    // A reference of silence would pin nothing.
    EXPECT_GT(peak, 0.01) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Patches, Golden, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class KernelAgreement : public ::testing::TestWithParam<std::tuple<GoldenCase, const char*>>
{
};

// Every sample, not only the stored ones, is identical whichever kernel renders it.
TEST_P(KernelAgreement, EveryKernelRendersTheBaselineBitForBit)
{
    const auto& [c, name] = GetParam();
    const VoiceKernel* kernel = VoiceKernel::Find(name);
    if (!kernel) GTEST_SKIP() << name << " is not available on this build or processor";
    const VoiceKernel* baseline = VoiceKernel::Find("baseline");
    ASSERT_NE(baseline, nullptr);
    const Signal expected = Render(c, *baseline);
    const Signal actual = Render(c, *kernel);
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_PRED2(SameSample, actual[i], expected[i]) << c.name << " sample " << i;
}

INSTANTIATE_TEST_SUITE_P(Patches, KernelAgreement,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Values("avx2", "avx512")),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param);
                         });

} // namespace
} // namespace zr
