#include "TestPlug.h"

#include "plugin/ProgramState.h"

#include <gtest/gtest.h>

#include <random>

using namespace zr;

namespace
{
constexpr unsigned kRngStart = 20261208;

ChunkBuffer Prefix(const ChunkBuffer& full, int size)
{
    ChunkBuffer chunk;
    chunk.Assign(full.Data(), size);
    return chunk;
}

// A bank of 64 slots with varied values and names.
ChunkBuffer MakeBank(TestPlug& plug, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int slot = 0; slot < 64; ++slot)
    {
        for (int i = 0; i < plug.NParams(); ++i)
        {
            plug.GetParam(i)->SetFromNormalized(unit(rng));
        }
        plug.SelectPreset(slot);
        // Names of one length, so that every slot takes the same number of bytes.
        plug.ModifyCurrentPreset(std::string(1, static_cast<char>('A' + slot / 10)) +
                                 std::to_string(slot % 10));
    }
    ChunkBuffer bank;
    plug.SerializePresets(bank);
    return bank;
}

// Lengths worth cutting a bank at: everything in the first two slots, a band around every eighth
// slot boundary and the end, and a sparse stride over the rest.
std::vector<int> BankCutPoints(const ChunkBuffer& bank, int slotSize)
{
    constexpr int kBandSlots = 8;
    constexpr int kStride = 401;
    std::vector<int> cuts;
    for (int n = 0; n <= bank.Size(); ++n)
    {
        const int intoSlot = n % slotSize;
        const bool inBand = (n / slotSize) % kBandSlots == 0 && (intoSlot < 24 || intoSlot > slotSize - 8);
        if (n < 2 * slotSize + 40 || inBand || n > bank.Size() - 8 || n % kStride == 0)
        {
            cuts.push_back(n);
        }
    }
    return cuts;
}

bool PositionIsDocumented(int pos, const ChunkBuffer& chunk)
{
    return pos == -1 || (pos >= 0 && pos <= chunk.Size());
}
} // namespace

TEST(BadInput, EveryPrefixOfAStateLoadsAndReportsMinusOne)
{
    for (TestPlug::Format format : {TestPlug::Format::Tagged, TestPlug::Format::Bare})
    {
        TestPlug source(format);
        for (int i = 0; i < source.NParams(); ++i)
        {
            source.GetParam(i)->SetFromNormalized(0.37);
        }
        ChunkBuffer full;
        source.SerializeProgramState(full);
        TestPlug plug(format);
        for (int size = 0; size <= full.Size(); ++size)
        {
            const int pos = plug.UnserializeProgramState(Prefix(full, size), 0);
            ASSERT_EQ(pos, size == full.Size() ? size : -1) << size;
            ASSERT_TRUE(plug.AllParamsInRange()) << size;
            plug.ClearRecords();
        }
        EXPECT_EQ(plug.Values(), source.Values());
    }
}

TEST(BadInput, EveryCutOfABankLoadsAndReportsMinusOne)
{
    std::mt19937 rng(kRngStart);
    TestPlug source;
    const ChunkBuffer bank = MakeBank(source, rng);
    ASSERT_EQ(bank.Size() % 64, 0);
    const int slotSize = bank.Size() / 64;
    TestPlug plug;
    plug.FillEmptyPresets(64);
    for (int size : BankCutPoints(bank, slotSize))
    {
        const int pos = plug.UnserializePresets(Prefix(bank, size), 0);
        ASSERT_EQ(pos, size == bank.Size() ? size : -1) << size;
        ASSERT_TRUE(plug.AllParamsInRange()) << size;
        plug.ClearRecords();
    }
    // The last cut was the whole bank.
    EXPECT_EQ(plug.GetPresetName(63), "G3");
    EXPECT_TRUE(plug.GetPreset(63)->initialized);
}

TEST(BadInput, RandomBytesNeverCrashOrLeaveARange)
{
    std::mt19937 rng(kRngStart + 1);
    std::uniform_int_distribution<int> length(0, 4000);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> header(0, 2);
    TestPlug tagged;
    TestPlug bare(TestPlug::Format::Bare);
    for (int round = 0; round < 300; ++round)
    {
        std::vector<uint8_t> bytes(static_cast<size_t>(length(rng)));
        for (uint8_t& b : bytes)
        {
            b = static_cast<uint8_t>(byte(rng));
        }
        ChunkBuffer chunk;
        const int kind = header(rng);
        if (kind == 1)
        {
            chunk.PutBytes(ProgramState::kStateTag.data(), static_cast<int>(ProgramState::kStateTag.size()));
        }
        else if (kind == 2)
        {
            IPlugBase::StartChunk(chunk);
        }
        chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));

        int pos = 0;
        IPlugBase::ReadChunkVersion(chunk, pos);
        ASSERT_TRUE(PositionIsDocumented(pos, chunk));
        if (pos < 0)
        {
            pos = 0;
        }
        for (TestPlug* plug : {&tagged, &bare})
        {
            ASSERT_TRUE(PositionIsDocumented(plug->UnserializeProgramState(chunk, pos), chunk));
            ASSERT_TRUE(PositionIsDocumented(plug->UnserializeParams(chunk, pos), chunk));
            ASSERT_TRUE(PositionIsDocumented(plug->UnserializePresets(chunk, pos), chunk));
            ASSERT_TRUE(plug->AllParamsInRange()) << round;
            plug->ClearRecords();
        }
    }
}

TEST(BadInput, DamagedBanksLoadWithinRanges)
{
    std::mt19937 rng(kRngStart + 2);
    TestPlug source;
    const ChunkBuffer bank = MakeBank(source, rng);
    std::uniform_int_distribution<int> where(0, bank.Size() - 1);
    std::uniform_int_distribution<int> flips(1, 8);
    std::uniform_int_distribution<int> byte(0, 255);
    TestPlug plug;
    for (int round = 0; round < 60; ++round)
    {
        std::vector<uint8_t> bytes(bank.Data(), bank.Data() + bank.Size());
        for (int n = flips(rng); n > 0; --n)
        {
            bytes[static_cast<size_t>(where(rng))] = static_cast<uint8_t>(byte(rng));
        }
        ChunkBuffer damaged;
        damaged.Assign(bytes.data(), static_cast<int>(bytes.size()));
        ASSERT_TRUE(PositionIsDocumented(plug.UnserializePresets(damaged, 0), damaged));
        ASSERT_TRUE(plug.AllParamsInRange()) << round;
        for (int slot = 0; slot < plug.NPresets(); ++slot)
        {
            ASSERT_LE(plug.GetPresetName(slot).size(), PresetEntry::kMaxNameLength);
        }
        plug.ClearRecords();
    }
}

TEST(BadInput, ANegativeStartPositionChangesNothing)
{
    TestPlug plug;
    plug.GetParam(0)->Set(42.0);
    ChunkBuffer state;
    plug.SerializeProgramState(state);
    EXPECT_EQ(plug.UnserializeProgramState(state, -1), -1);
    EXPECT_EQ(plug.UnserializeParams(state, -1), -1);
    EXPECT_EQ(plug.GetParam(0)->Value(), 42.0);
}
