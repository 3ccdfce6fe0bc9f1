#include "TestPlug.h"

#include "plugin/ChannelIO.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

using namespace zr;

namespace
{
struct FakeEditor : IEditorLink
{
    struct Push
    {
        int index;
        double value;
        bool normalized;
    };
    void PushParamToControls(int index, double value, bool normalized) override
    {
        pushes.push_back({index, value, normalized});
    }
    void PrepareDraw() override
    {
        prepared = pushes.size();
        lockHeld = mutex && HeldByThisThread(*mutex);
    }

    std::vector<Push> pushes;
    size_t prepared = 0;
    std::recursive_mutex* mutex = nullptr;
    bool lockHeld = false;
};

constexpr int kMg1FreqA = Param::BlockParamIndex(0, Param::kMg1Freq);
} // namespace

TEST(IPlugBase, ConstructionGivesTheDocumentedIdentityAndSlots)
{
    TestPlug plug;
    EXPECT_EQ(plug.NParams(), 229);
    EXPECT_EQ(plug.NPresets(), 64);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    for (int i = 0; i < plug.NPresets(); ++i)
    {
        EXPECT_FALSE(plug.GetPreset(i)->initialized);
        EXPECT_EQ(plug.GetPresetName(i), "empty");
    }
    EXPECT_EQ(plug.GetUniqueID(), 0x7A723434);
    EXPECT_EQ(plug.GetEffectVersion(false), 0x00010205);
    EXPECT_EQ(plug.GetEffectVersion(true), 10205);
    EXPECT_EQ(plug.GetEffectName(), "ZR-4400");
    EXPECT_EQ(plug.GetVendorName(), "Zarnow Audio");
    EXPECT_EQ(plug.GetProductName(), "");
    EXPECT_EQ(plug.GetSampleRate(), 44100.0);
    EXPECT_EQ(plug.GetBlockSize(), 1024);
    EXPECT_EQ(plug.GetHost(), -1);
    EXPECT_EQ(plug.NInChannels(), 0);
    ASSERT_EQ(plug.NOutChannels(), 2);
    EXPECT_EQ(plug.GetOutChannel(1)->scratch.size(), 1024u);
    EXPECT_EQ(plug.GetOutChannel(2), nullptr);
    EXPECT_EQ(plug.GetInChannel(0), nullptr);
}

TEST(IPlugBase, ChannelTextAndLegalIO)
{
    const auto list = ParseChannelIO("0-1 0-2");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].inputs, 0);
    EXPECT_EQ(list[1].outputs, 2);
    EXPECT_EQ(ParseChannelIO("2-2 x-1 1-1").size(), 1u);
    EXPECT_EQ(ParseChannelIO("").size(), 0u);
    EXPECT_EQ(ParseChannelIO("1-").size(), 0u);
    EXPECT_EQ(ParseChannelIO("1-99999").size(), 0u);

    TestPlug plug;
    EXPECT_FALSE(plug.LegalIO(1, -1));
    EXPECT_TRUE(plug.LegalIO(0, 2));
    EXPECT_TRUE(plug.LegalIO(0, 1));
    EXPECT_TRUE(plug.LegalIO(-1, 2));
    EXPECT_TRUE(plug.LegalIO(-1, -1));
    EXPECT_FALSE(plug.LegalIO(0, 3));
}

TEST(IPlugBase, OutOfRangeIndexesDoNothing)
{
    TestPlug plug;
    for (int index : {-1, 229, 100000})
    {
        EXPECT_EQ(plug.GetParam(index), nullptr);
        plug.SetParamFromEditor(index, 0.5);
        EXPECT_FALSE(plug.SelectPreset(index));
        EXPECT_EQ(plug.GetPresetName(index), "");
        EXPECT_EQ(plug.GetPreset(index), nullptr);
    }
    EXPECT_TRUE(plug.changed.empty());
    EXPECT_TRUE(plug.automated.empty());
    EXPECT_EQ(plug.presetsChanged, 0);
}

TEST(IPlugBase, SetParamFromEditorSetsAppliesThenNotifiesUnderTheLock)
{
    TestPlug plug;
    plug.SetParamFromEditor(Param::kPbRange, 0.52);
    EXPECT_EQ(plug.GetParam(Param::kPbRange)->Value(), 1.0);
    EXPECT_EQ(plug.events, (std::vector<std::pair<char, int>>{{'c', 186}, {'h', 186}}));
    ASSERT_EQ(plug.automated.size(), 1u);
    EXPECT_EQ(plug.automated[0].second, 0.52);
    EXPECT_TRUE(plug.lockHeldWhileNotifying);

    plug.SetParamFromEditor(Param::kPbRange, -3.0);
    EXPECT_EQ(plug.GetParam(Param::kPbRange)->Value(), -24.0);
    EXPECT_EQ(plug.automated.back().second, 0.0);
}

TEST(IPlugBase, ProgramReadsApplyValuesUnderTheLock)
{
    TestPlug plug(TestPlug::Format::Bare);
    ChunkBuffer state;
    plug.SerializeParams(state);
    plug.probeLockInParamChanged = true;
    EXPECT_EQ(plug.UnserializeParams(state, 0), state.Size());
    EXPECT_TRUE(plug.lockHeldInParamChanged);
}

// While another thread holds the lock (as a process call does for its whole block), editor
// changes from a second thread wait: the value never moves under the holder.
TEST(IPlugBase, EditorChangesWaitForTheLockHolder)
{
    TestPlug plug;
    std::atomic<bool> stop = false;
    std::atomic<int> edits = 0;
    std::thread editor(
        [&]
        {
            for (int n = 0; !stop; ++n)
            {
                plug.SetParamFromEditor(Param::kFinal, n % 2 ? 0.9 : 0.1);
                ++edits;
            }
        });
    for (int block = 0; block < 50; ++block)
    {
        std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
        const double atStart = plug.GetParam(Param::kFinal)->Value();
        const int editsAtStart = edits;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        EXPECT_EQ(plug.GetParam(Param::kFinal)->Value(), atStart);
        EXPECT_LE(edits - editsAtStart, 1);
    }
    stop = true;
    editor.join();
    EXPECT_GT(edits, 0);
}

TEST(IPlugBase, NotifyHostAllParamsSendsEveryNormalizedValueInOrder)
{
    TestPlug plug;
    plug.NotifyHostAllParams();
    ASSERT_EQ(plug.automated.size(), 229u);
    EXPECT_TRUE(plug.lockHeldWhileNotifying);
    for (int i = 0; i < 229; ++i)
    {
        EXPECT_EQ(plug.automated[static_cast<size_t>(i)].first, i);
        EXPECT_EQ(plug.automated[static_cast<size_t>(i)].second, plug.GetParam(i)->GetNormalized());
    }
    plug.AllParamsChanged();
    ASSERT_EQ(plug.changed.size(), 229u);
    for (int i = 0; i < 229; ++i)
    {
        EXPECT_EQ(plug.changed[static_cast<size_t>(i)], i);
    }
}

TEST(IPlugBase, EditorReceivesNormalizedValuesOnAttachAndPlainValuesOnRefresh)
{
    TestPlug plug;
    plug.RefreshParamControls(); // no editor: nothing happens
    auto owned = std::make_unique<FakeEditor>();
    FakeEditor* editor = owned.get();
    editor->mutex = &plug.Mutex();
    plug.GetParam(kMg1FreqA)->Set(23.49);
    plug.AttachEditor(std::move(owned));
    ASSERT_EQ(plug.GetEditor(), editor);
    ASSERT_EQ(editor->pushes.size(), 229u);
    EXPECT_EQ(editor->prepared, 229u);
    EXPECT_TRUE(editor->lockHeld);
    EXPECT_TRUE(editor->pushes[kMg1FreqA].normalized);
    EXPECT_NEAR(editor->pushes[kMg1FreqA].value, 0.5, 1e-4);

    editor->pushes.clear();
    plug.RefreshParamControls();
    ASSERT_EQ(editor->pushes.size(), 229u);
    EXPECT_FALSE(editor->pushes[kMg1FreqA].normalized);
    EXPECT_EQ(editor->pushes[kMg1FreqA].value, 23.49);
}

TEST(IPlugBase, BlockSizeAndSampleRateIgnoreNonsense)
{
    TestPlug plug;
    plug.GetOutChannel(0)->scratch[3] = 1.0;
    plug.ApplyBlockSize(256);
    EXPECT_EQ(plug.GetBlockSize(), 256);
    EXPECT_EQ(plug.GetOutChannel(0)->scratch, std::vector<double>(256, 0.0));
    EXPECT_EQ(plug.GetOutChannel(0)->data, plug.GetOutChannel(0)->scratch.data());
    for (int bad : {0, -5})
    {
        plug.ApplyBlockSize(bad);
        EXPECT_EQ(plug.GetBlockSize(), 256);
    }
    plug.ApplyBlockSize(1 << 30);
    EXPECT_EQ(plug.GetBlockSize(), IPlugBase::kMaxBlockSize);
    EXPECT_EQ(plug.GetOutChannel(1)->scratch.size(), static_cast<size_t>(IPlugBase::kMaxBlockSize));
    plug.ApplySampleRate(48000.0);
    for (double bad : {0.0, -1.0, std::nan(""), HUGE_VAL})
    {
        plug.ApplySampleRate(bad);
    }
    EXPECT_EQ(plug.GetSampleRate(), 48000.0);
}

TEST(IPlugBase, BaseAudioClearsOutputsWithoutInputAndPassesMidiOn)
{
    TestPlug plug;
    std::vector<double> left(8, 1.0), right(8, 1.0);
    double* outputs[] = {left.data(), right.data()};
    plug.ProcessAudio(nullptr, outputs, 8);
    EXPECT_EQ(left, std::vector<double>(8, 0.0));
    EXPECT_EQ(right, std::vector<double>(8, 0.0));

    plug.HandleMidi({12, 0x90, 60, 100});
    ASSERT_EQ(plug.sentMidi.size(), 1u);
    EXPECT_EQ(plug.sentMidi[0].offset, 12);
    EXPECT_EQ(plug.sentMidi[0].data1, 60);
    std::string name = "x";
    EXPECT_FALSE(plug.GetNoteName(60, name));
    EXPECT_EQ(name, "");
}

TEST(Presets, SelectingAnEmptySlotNamesItAfterTheUserPresetCount)
{
    TestPlug plug(TestPlug::Format::Bare);
    EXPECT_TRUE(plug.SelectPreset(5));
    EXPECT_EQ(plug.GetPresetName(5), "user preset 1");
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 5);
    EXPECT_EQ(plug.presetsChanged, 1);

    plug.GetPreset(9)->SetName("my user preset");
    EXPECT_TRUE(plug.SelectPreset(7));
    EXPECT_EQ(plug.GetPresetName(7), "user preset 3");
    EXPECT_TRUE(plug.GetPreset(7)->initialized);

    ChunkBuffer current;
    plug.SerializeProgramState(current);
    EXPECT_EQ(plug.GetPreset(7)->chunk, current);
}

TEST(Presets, SelectingAFilledSlotLoadsItsValues)
{
    TestPlug plug;
    plug.SelectPreset(0);
    plug.GetParam(Param::kFinal)->Set(0.8);
    plug.ModifyCurrentPreset();
    plug.GetParam(Param::kFinal)->Set(0.1);
    plug.SelectPreset(1);
    EXPECT_EQ(plug.GetParam(Param::kFinal)->Value(), 0.1);
    plug.changed.clear();
    EXPECT_TRUE(plug.SelectPreset(0));
    EXPECT_EQ(plug.GetParam(Param::kFinal)->Value(), 0.8);
    EXPECT_EQ(plug.changed.size(), 229u);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
}

TEST(Presets, ModifyCurrentPresetStoresRenamesAndKeepsTheFlag)
{
    TestPlug plug(TestPlug::Format::Bare);
    plug.GetParam(Param::kFinal)->Set(0.7);
    plug.ModifyCurrentPreset("Bright Pad");
    PresetEntry* slot = plug.GetPreset(0);
    EXPECT_FALSE(slot->initialized);
    EXPECT_EQ(slot->name, "Bright Pad");
    ChunkBuffer current;
    plug.SerializeProgramState(current);
    EXPECT_EQ(slot->chunk, current);

    plug.ModifyCurrentPreset();
    EXPECT_EQ(slot->name, "Bright Pad");
    EXPECT_EQ(slot->chunk, current); // replaced, not appended
    plug.ModifyCurrentPreset(std::string(300, 'n'));
    EXPECT_EQ(slot->name.size(), PresetEntry::kMaxNameLength);
}

TEST(Presets, FillEmptyPresetsFillsOnlyUninitialisedSlots)
{
    TestPlug plug;
    plug.SelectPreset(2);
    plug.FillEmptyPresets(3);
    EXPECT_EQ(plug.GetPresetName(0), "Empty");
    EXPECT_EQ(plug.GetPresetName(1), "Empty");
    EXPECT_EQ(plug.GetPresetName(2), "user preset 1");
    EXPECT_EQ(plug.GetPresetName(3), "Empty");
    EXPECT_FALSE(plug.GetPreset(4)->initialized);
    plug.FillEmptyPresets(100);
    for (int i = 0; i < 64; ++i)
    {
        EXPECT_TRUE(plug.GetPreset(i)->initialized);
        EXPECT_GT(plug.GetPreset(i)->chunk.Size(), 0);
    }
    EXPECT_EQ(plug.GetPresetName(63), "Empty");
}

TEST(Presets, BankLayoutIsNameFlagAndStateForEachSlot)
{
    TestPlug plug;
    plug.SelectPreset(0);
    ChunkBuffer bank;
    ASSERT_TRUE(plug.SerializePresets(bank));
    const int stateSize = plug.GetPreset(0)->chunk.Size();
    const int firstSlot = 4 + 13 + 1 + stateSize; // "user preset 1", flag, state
    const int emptySlot = 4 + 5 + 1;              // "empty", flag
    EXPECT_EQ(bank.Size(), firstSlot + 63 * emptySlot);
    int32_t length = 0;
    EXPECT_EQ(bank.GetInt32(&length, 0), 4);
    EXPECT_EQ(length, 13);
    EXPECT_EQ(bank.Data()[17], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bank.Data()) + 18, 13), "ZR-4400_1.2.2");
    EXPECT_EQ(bank.Data()[firstSlot + 9], 0);
}

TEST(Presets, AnUninitialisedSlotInABankKeepsItsOldChunkUntilSelected)
{
    TestPlug source;
    source.FillEmptyPresets(64);
    source.GetPreset(4)->initialized = false;
    source.GetPreset(4)->SetName("user preset");
    source.GetPreset(6)->SetName("old user preset");
    ChunkBuffer bank;
    source.SerializePresets(bank);

    TestPlug target;
    target.GetParam(Param::kFinal)->Set(0.9);
    target.FillEmptyPresets(64);
    const ChunkBuffer oldChunk = target.GetPreset(4)->chunk;
    EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
    EXPECT_FALSE(target.GetPreset(4)->initialized);
    EXPECT_EQ(target.GetPreset(4)->chunk, oldChunk);

    target.GetParam(Param::kFinal)->Set(0.6);
    EXPECT_TRUE(target.SelectPreset(4));
    EXPECT_EQ(target.GetPresetName(4), "user preset 3");
    target.GetParam(Param::kFinal)->Set(0.1);
    target.SelectPreset(4);
    EXPECT_EQ(target.GetParam(Param::kFinal)->Value(), 0.6);
}
