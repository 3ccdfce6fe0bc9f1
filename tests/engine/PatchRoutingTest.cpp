#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace zr::test
{
namespace
{

// One tick at 44.1 kHz, rendered in a single call.
void Tick(Engine& engine, int ticks = 1)
{
    Render(engine, static_cast<long>(ticks) * engine.SamplesPerTick(), engine.SamplesPerTick());
}

void Send(Engine& engine, const MidiMessage& message)
{
    engine.HandleMidi(message);
}

struct CvCase
{
    int value;
    double atConstruction;
    std::function<void(Engine&)> drive; // changes the source
    double driven;
};

// Every CV list entry refers to the value the list documents: first its construction value, then
// the value after the source was driven somewhere else.
TEST(PatchSources, EveryCvEntryReadsItsSource)
{
    const auto none = [](Engine&) {};
    const auto atnOne = [](int i)
    {
        return [i](Engine& e)
        {
            e.GetModulation().Atn(i).SetFactor(-0.25);
            e.GetModulation().Atn(i).SetInput(e.CvSource(CvSource::kPlus5V));
            Tick(e);
        };
    };
    const auto mg = [](int block, bool first)
    {
        return [block, first](Engine& e)
        {
            BlockModulation& m = e.Block(block).Modulation();
            (first ? m.Mg1() : m.Mg2()).SetWaveform(MG::kSquare); // period 1: -1
            Tick(e);
        };
    };
    std::vector<CvCase> cases = {
        {CvSource::kPlus5V, 1.0, none, 1.0},
        {CvSource::kGe1Negative, 1.0, none, 1.0},
        {CvSource::kGe2Rising, -1.0, none, -1.0},
        {CvSource::kGe3Positive, 0.0, none, 0.0},
        {CvSource::kMg1A, 0.0, mg(0, true), -1.0},
        {CvSource::kMg2A, 0.0, mg(0, false), -1.0},
        {CvSource::kMg1B, 0.0, mg(1, true), -1.0},
        {CvSource::kMg2B, 0.0, mg(1, false), -1.0},
        {CvSource::kMg1C, 0.0, mg(2, true), -1.0},
        {CvSource::kMg2C, 0.0, mg(2, false), -1.0},
        {CvSource::kSampleHold, 0.0,
         [](Engine& e)
         {
             e.GetModulation().SetShInput(e.CvSource(CvSource::kGe2Rising), false);
             Tick(e, 3);
         },
         -1.0},
        {CvSource::kVp1, 0.0,
         [](Engine& e)
         {
             e.GetModulation().Vp1().SetA(0.5);
             e.GetModulation().Vp1().SetB(0.0);
             e.GetModulation().Vp1().SetInput(e.CvSource(CvSource::kGe2Rising));
             Tick(e);
         },
         0.0},
        {CvSource::kVp2, 0.0,
         [](Engine& e)
         {
             e.GetModulation().Vp2().SetA(0.75);
             e.GetModulation().Vp2().SetB(0.25);
             e.GetModulation().Vp2().SetInput(e.CvSource(CvSource::kPlus5V));
             e.GetModulation().SetVp2OwnInput(true);
             Tick(e);
         },
         0.75},
        {CvSource::kKey, 0.0, [](Engine& e) { Send(e, NoteOn(127)), Tick(e); }, 1.0},
        {CvSource::kPitchBend, 0.0, [](Engine& e) { Send(e, PitchBend(0, 0)), Tick(e); }, -1.0},
        {CvSource::kPitchBendPositive, 0.5, [](Engine& e) { Send(e, PitchBend(0, 0)), Tick(e); }, 0.0},
        {CvSource::kModWheel, -1.0, [](Engine& e) { Send(e, Controller(1, 127)), Tick(e); }, 1.0},
        {CvSource::kModWheelPositive, 0.0, [](Engine& e) { Send(e, Controller(1, 127)), Tick(e); }, 1.0},
        {CvSource::kLag1, 0.0,
         [](Engine& e)
         {
             e.GetModulation().Lag(0).SetCorner(250.0);
             e.GetModulation().Lag(0).SetInput(e.CvSource(CvSource::kPlus5V));
             Tick(e, 50);
         },
         1.0},
        {CvSource::kLag2, 0.0,
         [](Engine& e)
         {
             e.GetModulation().Lag(1).SetCorner(250.0);
             e.GetModulation().Lag(1).SetInput(e.CvSource(CvSource::kGe2Rising));
             Tick(e, 50);
         },
         -1.0},
        {CvSource::kAtn1, 0.0, atnOne(0), -0.25},
        {CvSource::kAtn2, 0.0, atnOne(1), -0.25},
        {CvSource::kAtn3, 0.0, atnOne(2), -0.25},
    };
    for (int i = 0; i < ExternalInputs::kVoltages; ++i)
        cases.push_back({CvSource::kVc1 + i, 0.0,
                         [i](Engine& e)
                         {
                             e.Inputs().SetTriggerController(0, 119);
                             e.Inputs().SetTriggerController(1, 119);
                             e.Inputs().SetVoltageController(i, 20 + i);
                             Send(e, Controller(20 + i, 127));
                             Tick(e);
                         },
                         1.0});
    ASSERT_EQ(cases.size(), static_cast<std::size_t>(CvSource::kCount - 1));

    std::set<const double*> addresses;
    for (const CvCase& c : cases)
    {
        SCOPED_TRACE(c.value);
        auto engine = MakeEngine(44100.0);
        const double* source = engine->CvSource(c.value);
        ASSERT_NE(source, nullptr);
        addresses.insert(source);
        EXPECT_DOUBLE_EQ(*source, c.atConstruction);
        c.drive(*engine);
        EXPECT_NEAR(*source, c.driven, 1e-9);
    }
    EXPECT_EQ(addresses.size(), cases.size()) << "two entries share a source";

    Engine engine;
    for (int value : {int{CvSource::kOff}, -1, int{CvSource::kCount}, 1000})
        EXPECT_EQ(engine.CvSource(value), nullptr);
}

// Each trigger entry, selected as "GEG Src1", fires the envelope only when its event happens.
TEST(PatchSources, EveryTriggerEntryFiresOnItsEvent)
{
    const auto mgEdge = [](int block, bool first)
    {
        return [block, first](Engine& e)
        {
            BlockModulation& m = e.Block(block).Modulation();
            if (first)
                m.SetMg1Frequency(300.0, 0.5); // not a multiple of the tick rate
            else
                m.SetMg2Frequency(500.0);
        };
    };
    const auto clock = [](int index)
    { return [index](Engine& e) { e.GetModulation().SetExternalClock(index, 20); }; };
    const auto trigger = [](int index)
    {
        return [index](Engine& e)
        {
            e.Inputs().SetTriggerController(0, 30);
            e.Inputs().SetTriggerController(1, 31);
            Send(e, Controller(30 + index, 127));
        };
    };
    const std::vector<std::pair<int, std::function<void(Engine&)>>> cases = {
        {TriggerSource::kKeyboard,
         [](Engine& e)
         {
             e.SetKbdTrig(1);
             Send(e, NoteOn(60));
         }},
        {TriggerSource::kSingle, [](Engine& e) { Send(e, NoteOn(60)); }},
        {TriggerSource::kMultiple, [](Engine& e) { Send(e, NoteOn(60)); }},
        {TriggerSource::kMg1A, mgEdge(0, true)},
        {TriggerSource::kMg2A, mgEdge(0, false)},
        {TriggerSource::kMg1B, mgEdge(1, true)},
        {TriggerSource::kMg2B, mgEdge(1, false)},
        {TriggerSource::kMg1C, mgEdge(2, true)},
        {TriggerSource::kMg2C, mgEdge(2, false)},
        {TriggerSource::kSampleHold, [](Engine& e) { e.GetModulation().SetShFrequency(500.0); }},
        {TriggerSource::kClk1, clock(0)},
        {TriggerSource::kClk2, clock(1)},
        {TriggerSource::kClk3, clock(2)},
        {TriggerSource::kClk4, clock(3)},
        {TriggerSource::kTrg1, trigger(0)},
        {TriggerSource::kTrg2, trigger(1)},
    };
    ASSERT_EQ(cases.size(), static_cast<std::size_t>(TriggerSource::kCount - 1));

    std::set<const bool*> addresses;
    for (const auto& [value, provoke] : cases)
    {
        SCOPED_TRACE(value);
        auto engine = MakeEngine(44100.0);
        GeneralEnvelope& geg = engine->GetModulation().Geg();
        const bool* flag = engine->TriggerSource(value);
        ASSERT_NE(flag, nullptr);
        addresses.insert(flag);
        engine->GetModulation().SetGegTrigger(0, flag);
        HostTransport transport(44100.0, 120.0);
        const auto play = [&] { transport.Play(*engine, 44); };
        // Quiet at rest: with every source at its construction state nothing fires after the
        // first few ticks (a period-1 generator reports its first cycle once).
        for (int i = 0; i < 5; ++i)
            play();
        geg.Reset(44100.0);
        for (int i = 0; i < 20; ++i)
            play();
        EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kIdle);
        provoke(*engine);
        for (int i = 0; i < 100 && geg.CurrentState() == GeneralEnvelope::kIdle; ++i)
            play();
        EXPECT_NE(geg.CurrentState(), GeneralEnvelope::kIdle);
    }
    EXPECT_EQ(addresses.size(), cases.size()) << "two entries share a flag";

    Engine engine;
    for (int value : {int{TriggerSource::kOff}, -1, int{TriggerSource::kCount}, 99})
        EXPECT_EQ(engine.TriggerSource(value), nullptr);
}

TEST(ExternalInputs, DefaultControllerZeroFeedsTriggerOneOnly)
{
    auto engine = MakeEngine(44100.0);
    Send(*engine, Controller(0, 127));
    Tick(*engine);
    EXPECT_TRUE(engine->Inputs().GetTrigger(0).state);
    EXPECT_FALSE(engine->Inputs().GetTrigger(1).state);
    for (int i = 0; i < ExternalInputs::kVoltages; ++i)
        EXPECT_EQ(*engine->CvSource(CvSource::kVc1 + i), 0.0);
}

// A rising edge fires once; repeated messages above the threshold do not fire again; the panel's
// kick fires at the next tick whatever the input's state.
TEST(ExternalInputs, RisingEdgeFiresOnceAndTheKickFiresAgain)
{
    auto engine = MakeEngine(44100.0);
    GeneralEnvelope& geg = engine->GetModulation().Geg();
    engine->GetModulation().SetGegTrigger(1, engine->TriggerSource(TriggerSource::kTrg1));
    // A trigger restarts the delay: the delay counter falls back, or the delay begins.
    int fired = 0;
    const auto tickCountingTriggers = [&]
    {
        const int stateBefore = geg.CurrentState();
        const double counterBefore = geg.DelayCounter();
        Tick(*engine);
        if (geg.CurrentState() == GeneralEnvelope::kDelay &&
            (stateBefore != GeneralEnvelope::kDelay || geg.DelayCounter() < counterBefore))
            ++fired;
    };
    Send(*engine, Controller(0, 100));
    tickCountingTriggers();
    EXPECT_EQ(fired, 1);
    for (int i = 0; i < 5; ++i)
    {
        Send(*engine, Controller(0, 127));
        tickCountingTriggers();
        tickCountingTriggers();
    }
    EXPECT_EQ(fired, 1);
    engine->KickTrigger();
    tickCountingTriggers();
    EXPECT_EQ(fired, 2);
    Send(*engine, Controller(0, 64)); // 64 / 127 > 0.5: still high, no new edge
    tickCountingTriggers();
    Send(*engine, Controller(0, 63)); // low
    tickCountingTriggers();
    Send(*engine, Controller(0, 64)); // rising again
    tickCountingTriggers();
    EXPECT_EQ(fired, 3);
}

} // namespace
} // namespace zr::test
