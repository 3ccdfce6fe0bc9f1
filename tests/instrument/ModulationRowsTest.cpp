#include "ApplierPlug.h"

#include "modulation/LagFilter.h"
#include "modulation/PatchSources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace zr;
using zr::test::ApplierPlug;
using zr::test::MakeLoadedPlug;

namespace
{

constexpr double kChanges = std::numeric_limits<double>::quiet_NaN(); // only "differs" is checked
constexpr int kSquare = 3;
constexpr int kKbdMlt = TriggerSource::kMultiple;

int Index(int position, int block = 0)
{
    return Param::BlockParamIndex(block, position);
}

void RunTicks(ApplierPlug& plug, int n)
{
    Engine& engine = plug.engine;
    std::vector<double> left(static_cast<size_t>(engine.SamplesPerTick()));
    std::vector<double> right(left.size());
    for (int i = 0; i < n; ++i)
        engine.ProcessAudio(left.data(), right.data(), engine.SamplesPerTick());
}

BlockModulation& BlockA(ApplierPlug& plug)
{
    return plug.engine.Block(0).Modulation();
}
Modulation& Mod(ApplierPlug& plug)
{
    return plug.engine.GetModulation();
}
MidiMessage Message(int status, int data1, int data2)
{
    MidiMessage m{};
    m.status = static_cast<std::uint8_t>(status);
    m.data1 = static_cast<std::uint8_t>(data1);
    m.data2 = static_cast<std::uint8_t>(data2);
    return m;
}

using Measure = std::function<double(ApplierPlug&)>;

struct RowCase
{
    std::string name;
    int index;
    double value;
    std::vector<std::pair<int, double>> presets;
    Measure measure; // runs the engine as needed and reads the effect
    double expected; // kChanges: the effect only has to differ from the one without the change
};

// After one tick: the last value the control tick wrote for block A.
Measure AfterTicks(int ticks, std::function<double(ApplierPlug&)> read)
{
    return [ticks, read](ApplierPlug& plug)
    {
        RunTicks(plug, ticks);
        return read(plug);
    };
}

double LastFm(ApplierPlug& plug)
{
    return plug.engine.Block(0).FmBuffer().back();
}
double LastCutoffMod(ApplierPlug& plug)
{
    return plug.engine.Block(0).CutoffModBuffer().back();
}

// A note on, some ticks, then the reading.
Measure AfterNote(int ticks, std::function<double(ApplierPlug&)> read, int releaseAfter = -1)
{
    return [=](ApplierPlug& plug)
    {
        plug.engine.HandleMidi(Message(0x90, 60, 100));
        RunTicks(plug, releaseAfter < 0 ? ticks : releaseAfter);
        if (releaseAfter >= 0)
        {
            plug.engine.HandleMidi(Message(0x80, 60, 0));
            RunTicks(plug, ticks);
        }
        return read(plug);
    };
}

std::vector<RowCase> ModulationRowCases()
{
    using namespace Param;
    const auto slowSquare =
        std::vector<std::pair<int, double>>{{Index(kMg1Wave), kSquare}, {Index(kMg1Freq), 0.05}};
    auto with = [](std::vector<std::pair<int, double>> a, std::vector<std::pair<int, double>> b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const double cutoffHalf = std::trunc(0.5 * 10753);
    std::vector<RowCase> cases = {
        {"FM Mod",
         Index(kFmMod),
         1,
         {{Index(kFmGeg), 1000}, {Index(kFmSrc), 1}},
         AfterTicks(1, LastFm),
         1000},
        {"FM rev",
         Index(kFmRev),
         1,
         {{Index(kFmMod), 1}, {Index(kFmGeg), 1000}, {Index(kFmSrc), 1}},
         AfterTicks(1, LastFm),
         -1000},
        {"FM MG1", Index(kFmMg1), 1536, with(slowSquare, {{Index(kFmMod), 1}}), AfterTicks(2, LastFm), 1536},
        {"FM GEG",
         Index(kFmGeg),
         1000,
         {{Index(kFmMod), 1}, {Index(kFmSrc), 1}},
         AfterTicks(1, LastFm),
         1000},
        {"FM Src",
         Index(kFmSrc),
         1,
         {{Index(kFmMod), 1}, {Index(kFmGeg), 1000}},
         AfterTicks(1, LastFm),
         1000},
        {"PWM Src",
         Index(kPwmSrc),
         1,
         {},
         AfterTicks(1, [](ApplierPlug& p) { return BlockA(p).PwmInput(); }),
         1.0},
        {"fC Mod",
         Index(kFcMod),
         1,
         {{Index(kFcGeg), 0.5}, {Index(kFcSrc), 1}},
         AfterTicks(1, LastCutoffMod),
         cutoffHalf},
        {"fC MG1", Index(kFcMg1), 0.5, with(slowSquare, {{Index(kFcMod), 1}}), AfterTicks(2, LastCutoffMod),
         cutoffHalf},
        {"fC GEG",
         Index(kFcGeg),
         0.5,
         {{Index(kFcMod), 1}, {Index(kFcSrc), 1}},
         AfterTicks(1, LastCutoffMod),
         cutoffHalf},
        {"fC Src",
         Index(kFcSrc),
         1,
         {{Index(kFcMod), 1}, {Index(kFcGeg), 0.5}},
         AfterTicks(1, LastCutoffMod),
         cutoffHalf},
        {"EM A Src",
         Index(kEmASrc),
         1,
         {},
         AfterNote(2, [](ApplierPlug& p) { return p.engine.Block(0).GetVoice(0).Envelope().Value(); }),
         kChanges},
        {"EM R Src",
         Index(kEmRSrc),
         TriggerSource::kTrg1,
         {},
         [](ApplierPlug& p)
         {
             p.engine.HandleMidi(Message(0x90, 60, 100));
             RunTicks(p, 20);
             p.engine.KickTrigger();
             RunTicks(p, 2);
             return double(p.engine.Block(0).GetVoice(0).Envelope().GetState());
         },
         double(EM::kRelease)},
        {"RS Mod",
         Index(kRsMod),
         1,
         {{Index(kMg2Freq), 0.01}},
         AfterTicks(1, [](ApplierPlug& p) { return BlockA(p).ResonatorControl(); }),
         kChanges},
        {"RfC Src",
         Index(kRfcSrc),
         1,
         {},
         AfterTicks(1, [](ApplierPlug& p) { return BlockA(p).ResonatorControl(); }),
         1.0},
        {"MG1 Wave",
         Index(kMg1Wave),
         kSquare,
         {},
         [](ApplierPlug& p) { return double(BlockA(p).Mg1().Waveform()); },
         kSquare},
        {"MG1 Freq",
         Index(kMg1Freq),
         441,
         {},
         [](ApplierPlug& p) { return double(BlockA(p).Mg1().Cycle().Period()); },
         100},
        {"MG1 FSrc",
         Index(kMg1FSrc),
         1,
         {{Index(kMg1Freq), 0.05}},
         AfterTicks(1, [](ApplierPlug& p) { return double(BlockA(p).Mg1().Cycle().Period()); }),
         std::trunc(44100.0 / (0.05 + 1499.95 / 64.0))},
        {"MG1 MSrc", Index(kMg1MSrc), CvSource::kGe2Rising, slowSquare,
         AfterTicks(2, [](ApplierPlug& p) { return BlockA(p).Mg1Output(); }), 0.0},
        {"MG1 Host",
         Index(kMg1Host),
         10,
         {},
         [](ApplierPlug& p) { return double(BlockA(p).Mg1().Cycle().Division()); },
         10},
        {"MG2 Freq",
         Index(kMg2Freq),
         20,
         {},
         [](ApplierPlug& p) { return double(BlockA(p).Mg2().Cycle().Period()); },
         50},
        {"MG2 Host",
         Index(kMg2Host),
         10,
         {},
         [](ApplierPlug& p) { return double(BlockA(p).Mg2().Cycle().Division()); },
         10},
        {"VCA FSrc",
         Index(kVcaFSrc),
         CvSource::kGe3Positive,
         {},
         AfterTicks(1, [](ApplierPlug& p) { return p.engine.Block(0).ChannelVca()[0]; }),
         0.0},
        {"Ch Gate",
         Index(kChGate),
         CvSource::kGe3Positive,
         {},
         AfterTicks(1, [](ApplierPlug& p) { return p.engine.Block(0).ChannelVca()[0]; }),
         0.0},
        {"TVCA Src",
         kTvcaSrc,
         CvSource::kGe3Positive,
         {},
         AfterTicks(1, [](ApplierPlug& p) { return p.engine.TotalVca()[0]; }),
         0.0},
        {"S/H Freq",
         kShFreq,
         20,
         {},
         [](ApplierPlug& p) { return double(Mod(p).SampleHold().Cycle().Period()); },
         50},
        {"S/H Sync", kShSync, 1, {}, [](ApplierPlug& p) { return double(Mod(p).SampleHold().Sync()); }, 1},
        {"S/H In",
         kShIn,
         CvSource::kPlus5V,
         {{kShFreq, 20}},
         AfterTicks(60, [](ApplierPlug& p) { return Mod(p).SampleHold().Output(); }),
         1.0},
        {"S/H Host",
         kShHost,
         10,
         {},
         [](ApplierPlug& p) { return double(Mod(p).SampleHold().Cycle().Division()); },
         10},
        {"GEG Dly",
         kGegDly,
         1,
         {{kGegSrc1, kKbdMlt}},
         AfterNote(3, [](ApplierPlug& p) { return Mod(p).Geg().DelayCounter(); }),
         kChanges},
        {"GEG Atk",
         kGegAtk,
         1,
         {{kGegSrc1, kKbdMlt}},
         AfterNote(20, [](ApplierPlug& p) { return Mod(p).Geg().Level(); }),
         kChanges},
        {"GEG Rel",
         kGegRel,
         1,
         {{kGegSrc1, kKbdMlt}},
         AfterNote(
             5, [](ApplierPlug& p) { return Mod(p).Geg().Level(); }, 30),
         kChanges},
        {"GEG Auto",
         kGegAuto,
         1,
         {{kGegSrc1, kKbdMlt}},
         AfterNote(40, [](ApplierPlug& p) { return double(Mod(p).Geg().Level() < 1.0); }),
         1},
        {"GEG Src1",
         kGegSrc1,
         kKbdMlt,
         {},
         AfterNote(1, [](ApplierPlug& p) { return double(Mod(p).Geg().CurrentState()); }),
         GeneralEnvelope::kDelay},
        {"GEG Src2",
         kGegSrc2,
         kKbdMlt,
         {},
         AfterNote(1, [](ApplierPlug& p) { return double(Mod(p).Geg().CurrentState()); }),
         GeneralEnvelope::kDelay},
        {"VP1 A",
         kVp1A,
         0.7,
         {{kVp1Src, 1}},
         AfterTicks(1, [](ApplierPlug& p) { return Mod(p).Vp1().Output(); }),
         0.7},
        {"VP1 B",
         kVp1B,
         0.5,
         {{kVp1Src, CvSource::kGe2Rising}},
         AfterTicks(1, [](ApplierPlug& p) { return Mod(p).Vp1().Output(); }),
         0.5},
        {"VP1 Src",
         kVp1Src,
         1,
         {{kVp1A, 0.7}},
         AfterTicks(1, [](ApplierPlug& p) { return Mod(p).Vp1().Output(); }),
         0.7},
        {"VP2 A",
         kVp2A,
         0.7,
         {{kVp2Src, 1}},
         AfterTicks(1, [](ApplierPlug& p) { return Mod(p).Vp2().Output(); }),
         0.7},
        {"VP2 B",
         kVp2B,
         0.5,
         {{kVp2Src, CvSource::kGe2Rising}},
         AfterTicks(1, [](ApplierPlug& p) { return Mod(p).Vp2().Output(); }),
         0.5},
        {"VP2 Sel",
         kVp2Sel,
         0,
         {{kVp1Src, 1}, {kVp2A, 0.7}},
         AfterTicks(1, [](ApplierPlug& p) { return Mod(p).Vp2().Output(); }),
         0.7},
        {"VP2 Src",
         kVp2Src,
         1,
         {{kVp2A, 0.7}},
         AfterTicks(1, [](ApplierPlug& p) { return Mod(p).Vp2().Output(); }),
         0.7},
    };
    for (int i = 0; i < Modulation::kExternalClocks; ++i)
        cases.push_back({"Clk" + std::to_string(i + 1) + " Src",
                         kClk1Src + i,
                         20,
                         {},
                         [i](ApplierPlug& p)
                         {
                             int starts = 0;
                             for (int t = 0; t < 200; ++t)
                             {
                                 RunTicks(p, 1);
                                 starts += Mod(p).TriggerFlag(TriggerSource::kClk1 + i);
                             }
                             return double(starts > 0);
                         },
                         1});
    const int inputs = ExternalInputs::kTriggers + ExternalInputs::kVoltages;
    for (int i = 0; i < inputs; ++i)
        cases.push_back({"external input " + std::to_string(i),
                         kTrg1Src + i,
                         30,
                         {},
                         [i](ApplierPlug& p)
                         {
                             p.engine.HandleMidi(Message(0xB0, 30, 127));
                             RunTicks(p, 1);
                             ExternalInputs& in = p.engine.Inputs();
                             return i < ExternalInputs::kTriggers ? double(in.GetTrigger(i).state)
                                                                  : in.Voltage(i - ExternalInputs::kTriggers);
                         },
                         1.0});
    for (int i = 0; i < Modulation::kLags; ++i)
    {
        const int corner = i == 0 ? kLag1 : kLag2;
        cases.push_back({"LAG corner " + std::to_string(i),
                         corner,
                         0.5,
                         {},
                         [i](ApplierPlug& p) { return Mod(p).Lag(i).Corner(); },
                         250.0 / 64.0});
        cases.push_back(
            {"LAG input " + std::to_string(i),
             corner + 1,
             1,
             {},
             AfterTicks(50, [i](ApplierPlug& p) { return std::round(Mod(p).Lag(i).Output() * 1e6); }),
             1e6});
    }
    for (int i = 0; i < Modulation::kAttenuators; ++i)
    {
        const int factor = kAtn1 + 2 * i;
        const auto output = AfterTicks(1, [i](ApplierPlug& p) { return Mod(p).Atn(i).Output(); });
        cases.push_back({"ATN factor " + std::to_string(i), factor, -0.5, {{factor + 1, 1}}, output, -0.5});
        cases.push_back({"ATN input " + std::to_string(i), factor + 1, 1, {{factor, -0.5}}, output, -0.5});
    }
    return cases;
}

// Every modulation row reaches the engine: the same measurement with and without the change gives
// the documented effect (or at least a different one).
TEST(ModulationRows, EveryRowReachesTheEngine)
{
    const std::vector<RowCase> cases = ModulationRowCases();
    std::vector<int> covered;
    for (const RowCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        covered.push_back(c.index);
        double effect[2];
        for (int changed = 0; changed < 2; ++changed)
        {
            auto plug = MakeLoadedPlug();
            for (const auto& [index, value] : c.presets)
                plug->SetValue(index, value);
            if (changed) plug->SetValue(c.index, c.value);
            effect[changed] = c.measure(*plug);
        }
        EXPECT_NE(effect[0], effect[1]);
        if (!std::isnan(c.expected))
        {
            EXPECT_NEAR(effect[1], c.expected, 1e-9);
        }
    }
    // Block rows 17-22, 27-30, 36, 37, 42, 43, 46-52, 56, 58; global rows 184, 187-217, 219-228.
    EXPECT_EQ(covered.size(), 23u + 1u + 31u + 10u);
}

// "MG1 Host" switched off restores the period of the last "MG1 Freq", even one set while synced.
TEST(ModulationRows, HostOffRestoresTheKeptFrequencies)
{
    auto plug = MakeLoadedPlug();
    plug->SetValue(Index(Param::kMg1Freq), 10.0);
    plug->SetValue(Index(Param::kMg1Host), 10);
    plug->SetValue(Index(Param::kMg1Freq), 441.0);
    RunTicks(*plug, 2);
    EXPECT_EQ(BlockA(*plug).Mg1().Cycle().Period(), 22050) << "synced to 1/4 at 120 bpm";
    plug->SetValue(Index(Param::kMg1Host), 0);
    EXPECT_EQ(BlockA(*plug).Mg1().Cycle().Period(), 100);

    plug->SetValue(Index(Param::kMg2Freq), 4.0);
    plug->SetValue(Index(Param::kMg2Host), 5);
    plug->SetValue(Index(Param::kMg2Freq), 20.0);
    RunTicks(*plug, 2);
    plug->SetValue(Index(Param::kMg2Host), 0);
    EXPECT_EQ(BlockA(*plug).Mg2().Cycle().Period(), 50);

    plug->SetValue(Param::kShFreq, 2.0);
    plug->SetValue(Param::kShHost, 5);
    plug->SetValue(Param::kShFreq, 10.0);
    RunTicks(*plug, 2);
    plug->SetValue(Param::kShHost, 0);
    EXPECT_EQ(Mod(*plug).SampleHold().Cycle().Period(), 100);
}

// "MG1 FSrc" switched off restores MG1's unmodulated period.
TEST(ModulationRows, FrequencySourceOffRestoresThePeriod)
{
    auto plug = MakeLoadedPlug();
    plug->SetValue(Index(Param::kMg1Freq), 441.0);
    plug->SetValue(Index(Param::kMg1FSrc), CvSource::kPlus5V);
    RunTicks(*plug, 1);
    EXPECT_LT(BlockA(*plug).Mg1().Cycle().Period(), 100);
    plug->SetValue(Index(Param::kMg1FSrc), CvSource::kOff);
    EXPECT_EQ(BlockA(*plug).Mg1().Cycle().Period(), 100);
    RunTicks(*plug, 1);
    EXPECT_EQ(BlockA(*plug).Mg1().Cycle().Period(), 100);
}

// "GEG Dly" changed during the delay sets the delay counter's step factor: a long delay shortened
// to the shortest ends within the 5 ms the shortest takes.
TEST(ModulationRows, DelayChangeReachesTheRunningDelay)
{
    auto plug = MakeLoadedPlug();
    plug->SetValue(Param::kGegSrc1, kKbdMlt);
    plug->SetValue(Param::kGegDly, 1.0);
    plug->engine.HandleMidi(Message(0x90, 60, 100));
    RunTicks(*plug, 20);
    EXPECT_EQ(Mod(*plug).Geg().CurrentState(), GeneralEnvelope::kDelay);
    plug->SetValue(Param::kGegDly, 0.0);
    RunTicks(*plug, 6);
    EXPECT_NE(Mod(*plug).Geg().CurrentState(), GeneralEnvelope::kDelay);
}

// A set-up at another rate keeps MG1 at its frequency and each lag at its own corner.
TEST(ModulationRows, SetUpKeepsFrequencyAndLagCorners)
{
    auto plug = MakeLoadedPlug();
    plug->SetValue(Index(Param::kMg1Freq, 2), 441.0);
    plug->SetValue(Param::kLag2, 0.5);
    plug->engine.SetUp(88200.0, 512);
    EXPECT_EQ(plug->engine.Block(2).Modulation().Mg1().Cycle().Period(), 200);
    EXPECT_DOUBLE_EQ(Mod(*plug).Lag(1).Corner(), LagFilter::CornerOfPosition(0.5));
    EXPECT_DOUBLE_EQ(Mod(*plug).Lag(0).Corner(), LagFilter::kMaxKnobCorner);
}

} // namespace
