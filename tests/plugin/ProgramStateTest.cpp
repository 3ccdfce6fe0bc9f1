#include "TestPlug.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace zr;

namespace
{
constexpr int kValuesBytes = 229 * 8;
constexpr int kMg1FreqA = Param::BlockParamIndex(0, Param::kMg1Freq);

// Moves every parameter to a random normalised position.
void Randomize(TestPlug& plug, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < plug.NParams(); ++i)
    {
        plug.GetParam(i)->SetFromNormalized(unit(rng));
    }
}

ChunkBuffer StateOf(TestPlug& plug)
{
    ChunkBuffer chunk;
    plug.SerializeProgramState(chunk);
    return chunk;
}
} // namespace

TEST(ProgramState, LayoutIsTagIndexNameAndValues)
{
    TestPlug plug;
    plug.SelectPreset(3);
    plug.ModifyCurrentPreset("Bells");
    plug.GetParam(Param::kFinal)->Set(0.5);
    const ChunkBuffer state = StateOf(plug);
    ASSERT_EQ(state.Size(), 13 + 4 + 4 + 5 + kValuesBytes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.Data()), 13), "ZR-4400_1.2.2");
    int32_t index = 0;
    std::string name;
    EXPECT_EQ(state.GetInt32(&index, 13), 17);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(state.GetString(&name, 17), 26);
    EXPECT_EQ(name, "Bells");
    double final = 0.0;
    state.GetDouble(&final, 26 + 8 * Param::kFinal);
    EXPECT_EQ(final, 0.5);
}

TEST(ProgramState, ATaggedStateLoadsAllValuesAndReturnsItsLength)
{
    std::mt19937 rng(1234);
    TestPlug source;
    Randomize(source, rng);
    source.ModifyCurrentPreset("Name");
    const ChunkBuffer state = StateOf(source);
    TestPlug target;
    EXPECT_EQ(target.UnserializeProgramState(state, 0), state.Size());
    EXPECT_EQ(target.Values(), source.Values());
    EXPECT_EQ(target.changed.size(), 229u);
}

TEST(ProgramState, ABareListOfDoublesLoadsTheSameValues)
{
    std::mt19937 rng(77);
    TestPlug source(TestPlug::Format::Bare);
    Randomize(source, rng);
    const ChunkBuffer bare = StateOf(source);
    ASSERT_EQ(bare.Size(), kValuesBytes);
    TestPlug target;
    EXPECT_EQ(target.UnserializeProgramState(bare, 0), kValuesBytes);
    EXPECT_EQ(target.Values(), source.Values());
}

TEST(ProgramState, AnyTagDifferenceReadsDoublesFromTheFirstByte)
{
    TestPlug source;
    const ChunkBuffer state = StateOf(source);
    for (int i = 0; i < 13; ++i)
    {
        std::vector<uint8_t> bytes(state.Data(), state.Data() + state.Size());
        bytes[static_cast<size_t>(i)] ^= 0x01;
        ChunkBuffer altered;
        altered.Assign(bytes.data(), static_cast<int>(bytes.size()));
        TestPlug target;
        EXPECT_EQ(target.UnserializeProgramState(altered, 0), kValuesBytes) << i;
        EXPECT_TRUE(target.AllParamsInRange());
    }
}

TEST(ProgramState, StateRoundTripIsByteIdentical)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 20; ++round)
    {
        TestPlug first;
        Randomize(first, rng);
        const ChunkBuffer state = StateOf(first);
        TestPlug second;
        ASSERT_EQ(second.UnserializeProgramState(state, 0), state.Size());
        EXPECT_EQ(StateOf(second), state);
    }
}

// Reading a bank rewrites every slot's state with the reader's current index and name, so the
// first copy settles the embedded index and name; from then on a bank passes through unchanged.
TEST(ProgramState, BankOf64RoundTripIsByteIdentical)
{
    std::mt19937 rng(64);
    TestPlug first;
    for (int slot = 0; slot < 64; ++slot)
    {
        Randomize(first, rng);
        first.SelectPreset(slot);
        first.ModifyCurrentPreset("Program " + std::to_string(slot));
    }
    first.SelectPreset(17);
    ChunkBuffer bank1;
    ASSERT_TRUE(first.SerializePresets(bank1));

    TestPlug second;
    EXPECT_EQ(second.UnserializePresets(bank1, 0), bank1.Size());
    ChunkBuffer bank2;
    second.SerializePresets(bank2);

    TestPlug third;
    EXPECT_EQ(third.UnserializePresets(bank2, 0), bank2.Size());
    ChunkBuffer bank3;
    third.SerializePresets(bank3);
    EXPECT_EQ(bank3, bank2);

    // The reader reselects its own current slot (0) after the bank.
    first.SelectPreset(0);
    EXPECT_EQ(second.Values(), first.Values());
    for (int slot = 0; slot < 64; ++slot)
    {
        EXPECT_EQ(second.GetPresetName(slot), "Program " + std::to_string(slot));
        first.SelectPreset(slot);
        second.SelectPreset(slot);
        EXPECT_EQ(second.Values(), first.Values()) << slot;
    }
}

TEST(ProgramState, BaseFormatSetsTheFirstMissingValueToZeroClamped)
{
    TestPlug source(TestPlug::Format::Bare);
    source.GetParam(kMg1FreqA)->Set(100.0);
    source.GetParam(kMg1FreqA + 1)->Set(3.0);
    ChunkBuffer full;
    EXPECT_TRUE(source.SerializeParams(full));
    ChunkBuffer cut;
    cut.Assign(full.Data(), 8 * kMg1FreqA + 5);

    TestPlug target(TestPlug::Format::Bare);
    target.GetParam(kMg1FreqA + 1)->Set(7.0);
    EXPECT_EQ(target.UnserializeParams(cut, 0), -1);
    EXPECT_EQ(target.GetParam(kMg1FreqA)->Value(), 0.05); // 0 clamped into 0.05 .. 1500
    EXPECT_EQ(target.GetParam(kMg1FreqA + 1)->Value(), 7.0);
    EXPECT_EQ(target.changed.size(), 229u);
}

TEST(ProgramState, StoredNaNOrInfinityLeavesTheDefault)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double value : bad)
    {
        ChunkBuffer chunk;
        for (int i = 0; i < 229; ++i)
        {
            chunk.PutDouble(value);
        }
        TestPlug plug;
        for (int i = 0; i < 229; ++i)
        {
            plug.GetParam(i)->SetFromNormalized(0.9);
        }
        EXPECT_EQ(plug.UnserializeProgramState(chunk, 0), kValuesBytes);
        for (int i = 0; i < 229; ++i)
        {
            EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->Default()) << i;
        }
    }
}

TEST(ProgramState, OutOfRangeStoredValuesAreClamped)
{
    ChunkBuffer chunk;
    for (int i = 0; i < 229; ++i)
    {
        chunk.PutDouble(i % 2 ? 1e9 : -1e9);
    }
    TestPlug plug;
    plug.UnserializeProgramState(chunk, 0);
    EXPECT_EQ(plug.GetParam(0)->Value(), -100.0);
    EXPECT_EQ(plug.GetParam(Param::kWaveform)->Value(), 0.0);
    EXPECT_EQ(plug.GetParam(Param::kPbRange)->Value(), -24.0);
    EXPECT_EQ(plug.GetParam(Param::kKbdTrig)->Value(), 5.0);
}
