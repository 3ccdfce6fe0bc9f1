#include "ApplierPlug.h"

#include "instrument/BlockCopy.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zr;
using zr::test::MakeLoadedPlug;

namespace
{
constexpr int kChannelPositions[] = {Param::kVolume, Param::kVcaFSrc, Param::kChEnable, Param::kChGate};

bool StaysWithBlock(int position)
{
    for (const int p : kChannelPositions)
        if (p == position) return true;
    return false;
}

int Index(int block, int position)
{
    return Param::BlockParamIndex(block, position);
}

// Gives every parameter of the block a value of its own, away from its default.
void Scatter(IPlugBase& plug, int block, double offset)
{
    for (int j = 0; j < Param::kNumBlockParams; ++j)
    {
        IParameter* param = plug.GetParam(Index(block, j));
        const double x = param->GetNormalized(param->Default());
        param->SetFromNormalized(x > 0.5 ? x - offset - 0.01 * (j % 7) : x + offset + 0.01 * (j % 7));
        plug.ParamChanged(Index(block, j));
    }
}
} // namespace

TEST(BlockCopy, CopiesEverythingButTheChannelAndTellsTheHost)
{
    auto plug = MakeLoadedPlug();
    Scatter(*plug, 0, 0.3);
    Scatter(*plug, 1, 0.6);
    const std::vector<double> before = plug->Values();
    plug->ClearRecords();

    CopyBlock(*plug, 0, 1);

    std::vector<int> copied;
    for (int j = 0; j < Param::kNumBlockParams; ++j)
    {
        const double a = plug->GetParam(Index(0, j))->Value();
        const double b = plug->GetParam(Index(1, j))->Value();
        if (StaysWithBlock(j))
        {
            EXPECT_EQ(b, before[Index(1, j)]) << plug->GetParam(Index(1, j))->Name();
            EXPECT_NE(b, a) << "the test needs different channel settings";
            continue;
        }
        EXPECT_DOUBLE_EQ(b, a) << plug->GetParam(Index(1, j))->Name();
        copied.push_back(Index(1, j));
    }
    ASSERT_EQ(copied.size(), 57u);
    // Blocks A and C are left alone.
    for (int i = 0; i < Param::kNumParams; ++i)
    {
        if (Param::BlockOf(i) != 1)
        {
            EXPECT_EQ(plug->GetParam(i)->Value(), before[i]) << i;
        }
    }

    // One automation record and one handler run per copied parameter, then every value again.
    EXPECT_EQ(plug->changed, copied);
    ASSERT_EQ(plug->automated.size(), copied.size() + Param::kNumParams);
    for (size_t k = 0; k < copied.size(); ++k)
    {
        EXPECT_EQ(plug->automated[k].first, copied[k]);
        EXPECT_DOUBLE_EQ(plug->automated[k].second, plug->GetParam(copied[k])->GetNormalized());
    }
    for (int i = 0; i < Param::kNumParams; ++i)
        EXPECT_EQ(plug->automated[copied.size() + static_cast<size_t>(i)].first, i);
    EXPECT_EQ(plug->refreshes, 1);
    EXPECT_TRUE(plug->lockHeldWhileRefreshing);

    // The engine followed: block B now sounds like block A.
    const OscillatorBank& bankA = plug->engine.Block(0).Bank();
    const OscillatorBank& bankB = plug->engine.Block(1).Bank();
    for (int k = 0; k < OscillatorBank::kNoteNames; ++k)
        EXPECT_EQ(bankB.NoteOffset(k), bankA.NoteOffset(k));
    EXPECT_EQ(bankB.Waveform(), bankA.Waveform());
    EXPECT_EQ(plug->engine.Block(1).GetVoice(7).Filter().Peak(),
              plug->engine.Block(0).GetVoice(7).Filter().Peak());
}

TEST(BlockCopy, EveryPairOfBlocks)
{
    for (int from = 0; from < Param::kNumBlocks; ++from)
        for (int to = 0; to < Param::kNumBlocks; ++to)
        {
            if (from == to) continue;
            auto plug = MakeLoadedPlug();
            Scatter(*plug, from, 0.2);
            CopyBlock(*plug, from, to);
            for (int j = 0; j < Param::kNumBlockParams; ++j)
            {
                const double source = plug->GetParam(Index(from, j))->Value();
                const double target = plug->GetParam(Index(to, j))->Value();
                if (StaysWithBlock(j))
                    EXPECT_EQ(target, plug->GetParam(Index(to, j))->Default()) << from << to << j;
                else
                    EXPECT_DOUBLE_EQ(target, source) << from << to << j;
            }
        }
}

TEST(BlockCopy, SameOrInvalidBlocksDoNothing)
{
    auto plug = MakeLoadedPlug();
    Scatter(*plug, 0, 0.3);
    const std::vector<double> before = plug->Values();
    plug->ClearRecords();
    for (const auto& [from, to] :
         std::vector<std::pair<int, int>>{{0, 0}, {2, 2}, {-1, 1}, {0, 3}, {3, 0}, {1, -7}})
        CopyBlock(*plug, from, to);
    EXPECT_EQ(plug->Values(), before);
    EXPECT_TRUE(plug->automated.empty());
    EXPECT_TRUE(plug->changed.empty());
    EXPECT_EQ(plug->refreshes, 0);
}
