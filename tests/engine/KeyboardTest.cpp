#include "EngineTestSupport.h"

#include <gtest/gtest.h>

namespace zr::test
{
namespace
{

class KeyboardTest : public ::testing::Test
{
protected:
    std::unique_ptr<Engine> engine = MakeEngine(44100.0);
    Keyboard& keys = engine->GetKeyboard();

    const Voice& VoiceOf(int block, int slot) { return engine->Block(block).GetVoice(slot); }
    int SlotOf(int block, int note)
    {
        for (int i = 0; i < SynthBlock::kVoices; ++i)
            if (VoiceOf(block, i).Active() && VoiceOf(block, i).Note() == note) return i;
        return -1;
    }
    int State(int block, int slot) { return VoiceOf(block, slot).Envelope().GetState(); }
    void Tick() { Render(*engine, engine->SamplesPerTick(), engine->SamplesPerTick()); }
};

TEST_F(KeyboardTest, SixtyFifthKeyStealsTheOldestVoiceInEveryBlock)
{
    for (int key = 0; key < 64; ++key)
        keys.NoteOn(key + 10, 100);
    Tick();
    keys.NoteOn(100, 100);
    for (int b = 0; b < Engine::kBlocks; ++b)
    {
        EXPECT_EQ(VoiceOf(b, 0).Note(), 100) << b;
        EXPECT_EQ(SlotOf(b, 10), -1);
        EXPECT_EQ(VoiceOf(b, 0).Envelope().GetState(), EM::kAttack);
        EXPECT_GT(VoiceOf(b, 0).Envelope().Value(), 0.0); // stolen without a fade: attacks from its level
    }
    keys.NoteOff(10);
    for (int b = 0; b < Engine::kBlocks; ++b)
        for (int slot = 0; slot < SynthBlock::kVoices; ++slot)
            EXPECT_EQ(State(b, slot), EM::kAttack);
    // The next steal takes the next oldest (key 11 in slot 1).
    keys.NoteOn(101, 100);
    EXPECT_EQ(VoiceOf(2, 1).Note(), 101);
}

TEST_F(KeyboardTest, ReStruckKeyReusesItsVoice)
{
    keys.NoteOn(60, 100);
    keys.NoteOn(62, 100);
    Tick();
    keys.NoteOn(60, 90);
    EXPECT_EQ(SlotOf(0, 60), 0);
    EXPECT_EQ(keys.HeldCount(), 2);
    keys.NoteOff(60);
    EXPECT_EQ(State(0, 0), EM::kRelease);
    EXPECT_EQ(State(0, 1), EM::kAttack);
    // Even a silent voice keeps its note: with slot 0 ended, key 48 still goes to slot 2 (the first
    // slot that has played 48, here since set-up) and key 60 comes back to slot 0.
    Render(*engine, 4410);
    ASSERT_FALSE(VoiceOf(0, 0).Active());
    keys.NoteOn(48, 100);
    keys.NoteOn(60, 100);
    EXPECT_EQ(SlotOf(0, 48), 2);
    EXPECT_EQ(SlotOf(0, 60), 0);
}

TEST_F(KeyboardTest, FirstNoteAfterSetUpForKey48UsesSlotZero)
{
    keys.NoteOn(60, 100);
    keys.NoteOn(62, 100);
    keys.NoteOff(60);
    keys.NoteOff(62);
    Render(*engine, 4410);
    ASSERT_FALSE(VoiceOf(0, 0).Active());
    keys.NoteOn(48, 100); // slots 2.. still hold note 48 from set-up
    EXPECT_EQ(SlotOf(0, 48), 2);
    engine->SetUp(48000.0, 512); // a new rate sets the blocks up again
    EXPECT_EQ(keys.Serial(), 0);
    keys.NoteOn(48, 100);
    EXPECT_EQ(SlotOf(0, 48), 0);
    EXPECT_EQ(VoiceOf(0, 0).Serial(), 1);
}

TEST_F(KeyboardTest, PedalHoldsReleasedKeysOnly)
{
    keys.Pedal(true);
    keys.NoteOn(60, 100);
    keys.NoteOff(60);
    EXPECT_EQ(State(0, 0), EM::kAttack);
    keys.Pedal(false);
    EXPECT_EQ(State(0, 0), EM::kRelease);

    keys.NoteOn(62, 100);
    keys.Pedal(true);
    keys.Pedal(false); // key still down: keeps sounding
    const int slot = SlotOf(0, 62);
    EXPECT_EQ(State(0, slot), EM::kAttack);
    keys.NoteOff(62);
    EXPECT_EQ(State(0, slot), EM::kRelease);
}

TEST_F(KeyboardTest, AllNotesOffClearsThePedalUntilTheNextPedalMessage)
{
    Render(*engine, {{0, Controller(64, 127)}, {0, NoteOn(60)}, {0, NoteOn(64)}}, 441, 441);
    engine->HandleMidi(Controller(123, 0));
    EXPECT_EQ(keys.HeldCount(), 0);
    for (int b = 0; b < Engine::kBlocks; ++b)
        for (int slot : {0, 1})
        {
            EXPECT_EQ(State(b, slot), EM::kRelease);
            EXPECT_FALSE(VoiceOf(b, slot).PedalHeld());
        }
    keys.NoteOn(67, 100);
    keys.NoteOff(67);
    EXPECT_EQ(State(0, SlotOf(0, 67)), EM::kRelease); // no pedal any more
}

TEST_F(KeyboardTest, HoldLatchedVoicesIgnoreNoteOffAndAllNotesOff)
{
    engine->SetUseHold(false);
    engine->Block(0).ForEachVoice([](Voice& v) { v.SetEmHold(true); });
    Render(*engine, {{0, NoteOn(60)}}, 441, 441);
    keys.NoteOff(60);
    keys.AllNotesOff();
    EXPECT_EQ(State(0, 0), EM::kDecay);
    EXPECT_EQ(State(1, 0), EM::kRelease);
    engine->Block(0).ForEachVoice([](Voice& v) { v.SetEmHold(false); });
    Tick();
    EXPECT_EQ(State(0, 0), EM::kRelease);
}

TEST_F(KeyboardTest, TriggerFlagsAndKeyboardCv)
{
    engine->SetKbdTrig(1);
    keys.NoteOn(0, 100);
    EXPECT_TRUE(keys.MultipleTrigger());
    EXPECT_TRUE(keys.SingleTrigger());
    EXPECT_TRUE(keys.KeyboardTrigger());
    EXPECT_DOUBLE_EQ(keys.KeyboardCv(), -1.0);
    keys.NoteOn(127, 100); // same tick: the second key overwrites "KBD"
    EXPECT_FALSE(keys.KeyboardTrigger());
    EXPECT_TRUE(keys.SingleTrigger());
    EXPECT_DOUBLE_EQ(keys.KeyboardCv(), 1.0);
    Tick();
    EXPECT_FALSE(keys.MultipleTrigger() || keys.SingleTrigger() || keys.KeyboardTrigger());

    engine->SetKbdTrig(2);
    keys.NoteOff(0);
    keys.NoteOff(127);
    EXPECT_DOUBLE_EQ(keys.KeyboardCv(), 1.0); // unchanged by note off
    keys.NoteOn(60, 100);
    EXPECT_FALSE(keys.KeyboardTrigger());
    Tick();
    keys.NoteOn(64, 100);
    EXPECT_TRUE(keys.KeyboardTrigger());
    EXPECT_FALSE(keys.SingleTrigger());
}

TEST_F(KeyboardTest, HeldKeyMapCounts)
{
    EXPECT_TRUE(keys.NoteOff(5)); // never held: still no key held
    keys.NoteOn(5, 1);
    keys.NoteOn(5, 127); // update, not a second entry
    EXPECT_EQ(keys.HeldCount(), 1);
    keys.NoteOn(6, 64);
    EXPECT_FALSE(keys.NoteOff(5));
    EXPECT_TRUE(keys.NoteOff(6)); // the last key
    EXPECT_EQ(keys.HeldCount(), 0);
    keys.NoteOn(128, 100); // out of range: ignored
    keys.NoteOn(-1, 100);
    EXPECT_EQ(keys.HeldCount(), 0);
}

} // namespace
} // namespace zr::test
