#include "ApplierPlug.h"

#include "engine/PitchTables.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace zr;
using zr::test::ApplierPlug;
using zr::test::MakeLoadedPlug;

namespace
{
constexpr int kA = 0;
constexpr int kB = 1;
constexpr int kC = 2;
constexpr int kGlideTicks = 100;
constexpr int kTableTop = pitch::kTableTop;

int Index(int block, int position)
{
    return Param::BlockParamIndex(block, position);
}

// Runs n control ticks of the whole engine.
void RunTicks(Engine& engine, int n)
{
    std::vector<double> left(static_cast<size_t>(engine.SamplesPerTick()));
    std::vector<double> right(left.size());
    for (int i = 0; i < n; ++i)
        engine.ProcessAudio(left.data(), right.data(), engine.SamplesPerTick());
}

// Number of voices of all blocks for which the predicate holds.
template <class Predicate> int CountVoices(Engine& engine, int block, Predicate predicate)
{
    int count = 0;
    for (int slot = 0; slot < SynthBlock::kVoices; ++slot)
        count += predicate(engine.Block(block).GetVoice(slot)) ? 1 : 0;
    return count;
}

// ---- Block output probe ------------------------------------------------------------------------

// Drives the three blocks directly, each holding the same key, with MG1 (the AM input) at rest, an
// open channel VCA and the given PWM control, so that only the parameters make the blocks differ.
// Measures each block's output level over the second half of the run.
struct Probe
{
    static constexpr int kNote = 60;
    static constexpr int kTicks = 110; // a full cutoff glide and a settled envelope
    static constexpr double kPwmControl = 1.0;
    static constexpr double kResonatorControl = 0.25;
    static constexpr double kAmRest = 0.0;

    explicit Probe(Engine& e) : engine(e) {}

    void Run()
    {
        for (SynthBlock& block : engine.Blocks())
            block.Assign(kNote, 1);
        const int n = engine.SamplesPerTick();
        std::vector<double> left(static_cast<size_t>(n));
        std::vector<double> right(left.size());
        for (int tick = 0; tick < kTicks; ++tick)
        {
            for (int b = 0; b < Engine::kBlocks; ++b)
            {
                SynthBlock& block = engine.Block(b);
                std::fill(block.FmBuffer().begin(), block.FmBuffer().end(), 0);
                std::fill(block.CutoffModBuffer().begin(), block.CutoffModBuffer().end(), 0);
                std::fill(block.AmBuffer().begin(), block.AmBuffer().end(), kAmRest);
                block.TickUpdate(kPwmControl, kResonatorControl);
                for (int t = 0; t < n; ++t)
                    block.ChannelUpdate(t, true, 1.0);
                std::fill(left.begin(), left.end(), 0.0);
                std::fill(right.begin(), right.end(), 0.0);
                block.Render(left.data(), right.data(), n, 0);
                if (tick < kTicks / 2) continue;
                for (int i = 0; i < n; ++i)
                {
                    energyLeft[b] += left[i] * left[i];
                    energyRight[b] += right[i] * right[i];
                }
            }
        }
    }

    // Level of block b relative to block A.
    double LeftRatio(int b) const { return std::sqrt(energyLeft[b] / energyLeft[kA]); }
    double RightRatio(int b) const { return std::sqrt(energyRight[b] / energyRight[kA]); }

    Engine& engine;
    std::array<double, Engine::kBlocks> energyLeft{};
    std::array<double, Engine::kBlocks> energyRight{};
};

// ---- Row tables --------------------------------------------------------------------------------

using Setting = std::pair<int, double>; // position in the block, value

// A block-level row: after preconditions in every block and value at position in block B, the
// observation of block B is expected; A and C must agree and differ from it.
struct BlockCase
{
    std::string name;
    int position;
    double value;
    double expected;
    double (*observe)(const Probe& probe, int block);
    std::vector<Setting> preconditions = {};
    double tolerance = 1e-12;
};

// A voice row: the voice value read by get must be expected in all 64 voices of block B.
struct VoiceCase
{
    std::string name;
    int position;
    double value;
    double expected;
    double (*get)(Voice& voice);
    std::vector<Setting> preconditions = {};
};

double NoteOffsetOf(const Probe& p, int b, int noteName)
{
    return p.engine.Block(b).Bank().NoteOffset(noteName);
}

std::vector<BlockCase> BlockCases()
{
    std::vector<BlockCase> cases = {
        // List values are truncated, flags are on at 0.5.
        {"Waveform", Param::kWaveform, 4.9, OscillatorBank::kPulse,
         [](const Probe& p, int b) -> double { return p.engine.Block(b).Bank().Waveform(); }},
        // PWM width = 0.5 + 0.5 x 0.009 x "PWM Int" at a PWM control of +1.
        {"PWM Int",
         Param::kPwmInt,
         80,
         0.86,
         [](const Probe& p, int b) { return p.engine.Block(b).Bank().PulseWidth(); },
         {{Param::kWaveform, OscillatorBank::kPwm}}},
        {"Fine", Param::kFine, 50, 64, [](const Probe& p, int b) { return NoteOffsetOf(p, b, 3); }},
        {"Coarse", Param::kCoarse, -800, -1024, [](const Probe& p, int b) { return NoteOffsetOf(p, b, 11); }},
        {"Octave", Param::kOctave, 3, OscillatorBank::kFootage2,
         [](const Probe& p, int b) -> double { return p.engine.Block(b).Bank().Octave(); }},
        // Glide position 0.5 = sqrt(0.25); the summed steps may land one unit short.
        {"Cutoff",
         Param::kCutoff,
         0.25,
         kTableTop / 2,
         [](const Probe& p, int b) -> double { return p.engine.Block(b).CutoffIndex(); },
         {},
         1.0},
        {"RS Int", Param::kRsInt, 0.6, 0.6,
         [](const Probe& p, int b)
         {
             const SynthBlock& block = p.engine.Block(b);
             const double mix = block.GetResonator(0).Mix();
             const bool same = block.GetResonator(1).Mix() == mix && block.GetResonator(2).Mix() == mix;
             return same && block.ResonatorsOn() == (mix > 0.0) ? mix : -1.0;
         }},
        {"RS Freq1", Param::kRsFreq1, 0.9, 0.9,
         [](const Probe& p, int b) { return p.engine.Block(b).GetResonator(0).Position(); }},
        {"RS Freq2", Param::kRsFreq2, 0.9, 0.9,
         [](const Probe& p, int b) { return p.engine.Block(b).GetResonator(1).Position(); }},
        {"RS Freq3", Param::kRsFreq3, 0.1, 0.1,
         [](const Probe& p, int b) { return p.engine.Block(b).GetResonator(2).Position(); }},
        // With MG1 at rest, AM scales the block by 1 - "AM Int".
        {"AM Int",
         Param::kAmInt,
         0.75,
         0.25,
         [](const Probe& p, int b) { return p.LeftRatio(b); },
         {{Param::kAmMod, 1}},
         1e-9},
        {"AM Mod",
         Param::kAmMod,
         0.5,
         0.25,
         [](const Probe& p, int b) { return p.LeftRatio(b); },
         {{Param::kAmInt, 0.75}},
         1e-9},
        // Default volume 0.25; the channel gain is 2 x "Volume".
        {"Volume", Param::kVolume, 1, 4, [](const Probe& p, int b) { return p.LeftRatio(b); }, {}, 1e-9},
        // Right gain is "Pan" x 2 x "Volume": 0.2 against the default 0.5.
        {"Pan", Param::kPan, 0.2, 0.4, [](const Probe& p, int b) { return p.RightRatio(b); }, {}, 1e-9},
        {"ChEnable", Param::kChEnable, 0.49, 0, [](const Probe& p, int b) { return p.LeftRatio(b); }},
    };
    static constexpr std::array<double (*)(const Probe&, int), OscillatorBank::kNoteNames> kTuneOf = {
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 0); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 1); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 2); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 3); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 4); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 5); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 6); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 7); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 8); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 9); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 10); },
        [](const Probe& p, int b) { return NoteOffsetOf(p, b, 11); },
    };
    // 50 cents are 64 pitch units, on the tuned note name only.
    for (int k = 0; k < OscillatorBank::kNoteNames; ++k)
        cases.push_back({"Tune " + std::to_string(k), Param::kTuneC + k, 50, 64, kTuneOf[k]});
    return cases;
}

std::vector<VoiceCase> VoiceCases()
{
    return {
        {"Peak", Param::kPeak, 0.6, 0.6, [](Voice& v) { return v.Filter().Peak(); }},
        {"fC Bal", Param::kFcBal, -0.5, -0.5, [](Voice& v) { return v.FcBal(); }},
        {"Expand", Param::kExpand, 0.7, 0.7, [](Voice& v) { return v.Expand(); }},
        {"EM Atk", Param::kEmAtk, 0.3, 0.3, [](Voice& v) { return v.EmAttack(); }},
        {"EM Dcy", Param::kEmDcy, 0.5, 0.6, [](Voice& v) { return v.Envelope().Decay(); }},
        {"EM Sus", Param::kEmSus, 0.4, 0.4, [](Voice& v) { return v.Envelope().Sustain(); }},
        {"EM Rel", Param::kEmRel, 1.9, 0.43, [](Voice& v) { return v.Envelope().ReleaseTime(); }},
        {"EM Hold", Param::kEmHold, 0.5, 1, [](Voice& v) -> double { return v.Envelope().HoldEnabled(); }},
        {"KBD Bal", Param::kKbdBal, 0.2, 0.2, [](Voice& v) { return v.KbdBal(); }},
        {"Over Rel",
         Param::kOverRel,
         0.5,
         0.123,
         [](Voice& v) { return v.Envelope().ReleaseTime(); },
         {{Param::kEmORel, 0.123}}},
        {"EM O.Rel",
         Param::kEmORel,
         0.123,
         0.123,
         [](Voice& v) { return v.Envelope().ReleaseTime(); },
         {{Param::kOverRel, 1}}},
    };
}

void ApplyPreconditions(ApplierPlug& plug, const std::vector<Setting>& settings)
{
    for (const auto& [position, value] : settings)
        for (int b = 0; b < Engine::kBlocks; ++b)
            plug.SetValue(Index(b, position), value);
}

// The value every voice of the block holds, NaN when they differ.
double CommonVoiceValue(Engine& engine, int block, double (*get)(Voice&))
{
    const double first = get(engine.Block(block).GetVoice(0));
    for (int slot = 1; slot < SynthBlock::kVoices; ++slot)
        if (get(engine.Block(block).GetVoice(slot)) != first) return std::numeric_limits<double>::quiet_NaN();
    return first;
}

} // namespace

TEST(ParamApplierRows, EveryBlockRowChangesItsBlockOnly)
{
    for (const BlockCase& c : BlockCases())
    {
        auto plug = MakeLoadedPlug();
        ApplyPreconditions(*plug, c.preconditions);
        plug->SetValue(Index(kB, c.position), c.value);
        Probe probe(plug->engine);
        probe.Run();
        EXPECT_NEAR(c.observe(probe, kB), c.expected, c.tolerance) << c.name;
        EXPECT_EQ(c.observe(probe, kA), c.observe(probe, kC)) << c.name;
        EXPECT_GT(std::fabs(c.observe(probe, kA) - c.expected), c.tolerance) << c.name << " had no effect";
    }
}

TEST(ParamApplierRows, EveryVoiceRowReachesAllVoicesOfItsBlockOnly)
{
    for (const VoiceCase& c : VoiceCases())
    {
        auto plug = MakeLoadedPlug();
        ApplyPreconditions(*plug, c.preconditions);
        plug->SetValue(Index(kB, c.position), c.value);
        Engine& engine = plug->engine;
        EXPECT_DOUBLE_EQ(CommonVoiceValue(engine, kB, c.get), c.expected) << c.name;
        const double untouched = CommonVoiceValue(engine, kA, c.get);
        EXPECT_EQ(untouched, CommonVoiceValue(engine, kC, c.get)) << c.name;
        EXPECT_NE(untouched, c.expected) << c.name << " had no effect";
    }
}

TEST(ParamApplierRows, GlobalRowsReachTheEngine)
{
    auto plug = MakeLoadedPlug();
    Engine& engine = plug->engine;
    EXPECT_DOUBLE_EQ(engine.FinalGain(), 0.5);
    plug->SetValue(Param::kFinal, 0.6);
    EXPECT_DOUBLE_EQ(engine.FinalGain(), 1.2);

    plug->SetValue(Param::kPbRange, -12);
    EXPECT_DOUBLE_EQ(engine.PitchBendRange(), -12 * 128);
    plug->SetValue(Param::kPbRange, 24);
    EXPECT_DOUBLE_EQ(engine.PitchBendRange(), 3072);

    // "KBD Trig" 2: the keyboard trigger fires when the second key is held, not the first.
    plug->SetValue(Param::kKbdTrig, 2.9);
    Keyboard& keyboard = engine.GetKeyboard();
    keyboard.NoteOn(60, 100);
    EXPECT_FALSE(keyboard.KeyboardTrigger());
    keyboard.ClearTriggers();
    keyboard.NoteOn(64, 100);
    EXPECT_TRUE(keyboard.KeyboardTrigger());
}

TEST(ParamApplier, TuneStoresCentsAsTruncatedPitchUnits)
{
    auto plug = MakeLoadedPlug();
    const OscillatorBank& bank = plug->engine.Block(kA).Bank();
    plug->SetValue(Index(kA, Param::kTuneC), 33);
    EXPECT_EQ(bank.NoteOffset(0), 42); // 1.28 x 33 = 42.24
    plug->SetValue(Index(kA, Param::kTuneC), -33);
    EXPECT_EQ(bank.NoteOffset(0), -42);
    plug->SetValue(Index(kC, Param::kTuneB), 100);
    EXPECT_EQ(plug->engine.Block(kC).Bank().NoteOffset(11), 128);
    // Tune, fine and coarse add up.
    plug->SetValue(Index(kA, Param::kFine), -1);
    plug->SetValue(Index(kA, Param::kCoarse), 800);
    EXPECT_EQ(bank.NoteOffset(0), -42 - 1 + 1024);
    EXPECT_EQ(bank.NoteOffset(1), -1 + 1024);
}

TEST(ParamApplier, FirstCutoffAfterConstructionGlidesFromTheTop)
{
    ApplierPlug plug;
    plug.SetValue(Index(kA, Param::kCutoff), 0.25);
    const SynthBlock& block = plug.engine.Block(kA);
    for (int tick = 1; tick < kGlideTicks; ++tick)
    {
        RunTicks(plug.engine, 1);
        ASSERT_GE(block.CutoffIndex(), kTableTop) << "tick " << tick;
    }
    RunTicks(plug.engine, 1);
    EXPECT_NEAR(block.CutoffIndex(), kTableTop / 2, 1);
    RunTicks(plug.engine, 10);
    EXPECT_NEAR(block.CutoffIndex(), kTableTop / 2, 1);
}

TEST(ParamApplier, CutoffGlidesOverHundredTicksAndRestartsFromTheCurrentPosition)
{
    auto plug = MakeLoadedPlug();
    const SynthBlock& block = plug->engine.Block(kB);
    RunTicks(plug->engine, kGlideTicks);
    EXPECT_NEAR(block.CutoffIndex(), kTableTop, 1);

    // 1 -> 0.25: the position moves from 1 to 0.5 in a straight line.
    plug->SetValue(Index(kB, Param::kCutoff), 0.25);
    RunTicks(plug->engine, kGlideTicks / 2);
    EXPECT_NEAR(block.CutoffIndex(), 0.75 * kTableTop, 1);

    // Mid-glide change back to 1: a new 100-tick glide from 0.75.
    plug->SetValue(Index(kB, Param::kCutoff), 1.0);
    RunTicks(plug->engine, kGlideTicks / 2);
    EXPECT_NEAR(block.CutoffIndex(), 0.875 * kTableTop, 1);
    RunTicks(plug->engine, kGlideTicks / 2 - 1);
    EXPECT_LT(block.CutoffIndex(), kTableTop - 1);
    RunTicks(plug->engine, 1);
    EXPECT_NEAR(block.CutoffIndex(), kTableTop, 1);
}

TEST(ParamApplier, UseHoldReachesAll192Voices)
{
    auto plug = MakeLoadedPlug();
    Engine& engine = plug->engine;
    const auto useHold = [](const Voice& v) { return v.Envelope().UseHold(); };
    for (int b = 0; b < Engine::kBlocks; ++b)
        EXPECT_EQ(CountVoices(engine, b, useHold), SynthBlock::kVoices);
    plug->SetValue(Param::kUseHold, 0);
    for (int b = 0; b < Engine::kBlocks; ++b)
        EXPECT_EQ(CountVoices(engine, b, useHold), 0);
    // On at 0.5 or more.
    plug->SetValue(Param::kUseHold, 0.49);
    EXPECT_EQ(CountVoices(engine, kB, useHold), 0);
    plug->SetValue(Param::kUseHold, 0.5);
    for (int b = 0; b < Engine::kBlocks; ++b)
        EXPECT_EQ(CountVoices(engine, b, useHold), SynthBlock::kVoices);
    // "Use Hold" mod 61 is the position of "EM Hold", which must stay untouched.
    for (int b = 0; b < Engine::kBlocks; ++b)
        EXPECT_EQ(CountVoices(engine, b, [](const Voice& v) { return v.Envelope().HoldEnabled(); }), 0);
}

TEST(ParamApplier, EmHoldReachesTheVoicesOfItsBlockOnly)
{
    auto plug = MakeLoadedPlug();
    Engine& engine = plug->engine;
    const auto holdEnabled = [](const Voice& v) { return v.Envelope().HoldEnabled(); };
    plug->SetValue(Index(kC, Param::kEmHold), 1);
    EXPECT_EQ(CountVoices(engine, kA, holdEnabled), 0);
    EXPECT_EQ(CountVoices(engine, kB, holdEnabled), 0);
    EXPECT_EQ(CountVoices(engine, kC, holdEnabled), SynthBlock::kVoices);
}

TEST(ParamApplier, EveryIndexInOrderGivesTheFreshProgramSound)
{
    ApplierPlug plug;
    plug.AllParamsChanged();
    plug.applier.Apply(-1);
    plug.applier.Apply(Param::kNumParams);
    Engine& engine = plug.engine;
    for (int b = 0; b < Engine::kBlocks; ++b)
    {
        SynthBlock& block = engine.Block(b);
        EXPECT_EQ(block.Bank().Waveform(), OscillatorBank::kSawtooth);
        EXPECT_EQ(block.Bank().Octave(), OscillatorBank::kFootage8);
        for (int k = 0; k < OscillatorBank::kNoteNames; ++k)
            EXPECT_EQ(block.Bank().NoteOffset(k), 0);
        EXPECT_TRUE(block.ChannelEnabled());
        EXPECT_FALSE(block.ResonatorsOn());
        for (int r = 0; r < SynthBlock::kResonators; ++r)
            EXPECT_DOUBLE_EQ(block.GetResonator(r).Position(), SynthBlock::kResonatorDefaults[r]);
        const Voice& voice = block.GetVoice(SynthBlock::kVoices - 1);
        EXPECT_DOUBLE_EQ(voice.Envelope().Sustain(), 1.0);
        EXPECT_DOUBLE_EQ(voice.Envelope().ReleaseTime(), 0.05); // "Damp"
        EXPECT_TRUE(voice.Envelope().UseHold());
        EXPECT_DOUBLE_EQ(voice.KbdBal(), 0.5);
    }
    EXPECT_DOUBLE_EQ(engine.FinalGain(), 0.5);
    EXPECT_DOUBLE_EQ(engine.PitchBendRange(), 0.0);
}

TEST(ParamApplier, EveryParameterAtItsLimitsKeepsTheOutputFinite)
{
    for (const double position : {0.0, 1.0})
    {
        ApplierPlug plug;
        for (int i = 0; i < Param::kNumParams; ++i)
            plug.GetParam(i)->SetFromNormalized(position);
        plug.AllParamsChanged();
        for (const int key : {0, 60, 127})
            plug.engine.HandleMidi({0, 0x90, static_cast<std::uint8_t>(key), 100});
        std::vector<double> left(4096);
        std::vector<double> right(left.size());
        plug.engine.ProcessAudio(left.data(), right.data(), static_cast<int>(left.size()));
        for (size_t i = 0; i < left.size(); ++i)
        {
            ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << position << " sample " << i;
        }
    }
}

TEST(ParamApplier, ReapplySetsTheKeptValueQuietlyAndRunsTheHandler)
{
    auto plug = MakeLoadedPlug();
    const int tuneA = Index(kA, Param::kTuneA);
    plug->applier.Reapply(tuneA, 33);
    EXPECT_DOUBLE_EQ(plug->GetParam(tuneA)->Value(), 33);
    EXPECT_EQ(plug->engine.Block(kA).Bank().NoteOffset(9), 42);
    EXPECT_EQ(plug->changed, std::vector<int>{tuneA});
    EXPECT_TRUE(plug->automated.empty());
    // Limited to the parameter's range.
    plug->applier.Reapply(tuneA, 1000);
    EXPECT_DOUBLE_EQ(plug->GetParam(tuneA)->Value(), 100);
    EXPECT_EQ(plug->engine.Block(kA).Bank().NoteOffset(9), 128);
    plug->applier.Reapply(Param::kNumParams, 1);
    EXPECT_EQ(plug->changed.size(), 2u);
}

TEST(ParamApplier, KeptFrequenciesStartAtTheirDefaultsAndIgnoreBadBlocks)
{
    ApplierPlug plug;
    ParamApplier& applier = plug.applier;
    for (int b = 0; b < Engine::kBlocks; ++b)
    {
        EXPECT_DOUBLE_EQ(applier.Mg1Freq(b), 0.2);
        EXPECT_DOUBLE_EQ(applier.Mg2Freq(b), 0.2);
    }
    EXPECT_DOUBLE_EQ(applier.ShFreq(), 0.2);
    applier.SetMg1Freq(kC, 5.0);
    applier.SetMg2Freq(kB, 3.0);
    applier.SetMg1Freq(Engine::kBlocks, 7.0);
    applier.SetMg2Freq(-1, 7.0);
    EXPECT_DOUBLE_EQ(applier.Mg1Freq(kC), 5.0);
    EXPECT_DOUBLE_EQ(applier.Mg1Freq(kA), 0.2);
    EXPECT_DOUBLE_EQ(applier.Mg2Freq(kB), 3.0);
    EXPECT_DOUBLE_EQ(applier.Mg1Freq(Engine::kBlocks), 0.0);
    EXPECT_DOUBLE_EQ(applier.Mg2Freq(-1), 0.0);
}
