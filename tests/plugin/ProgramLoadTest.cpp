// What a note sounds like right after a program load: with nothing sounding, a loaded program's
// cutoff holds at once (no burst through a wide-open filter); under a held note the cutoff still
// glides to the loaded value.
#include "FakeVstHost.h"
#include "FileTestSupport.h"
#include "instrument/ParameterTable.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zr;
namespace vst = zr::vst;

namespace
{

constexpr float kRate = 48000.0f;
constexpr int kMs = 48; // frames per millisecond at kRate
constexpr int kInit = 63;
constexpr int kOther = 62;
constexpr double kLowCutoff = 0.2;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kKey = 57;

// RMS of the left channel over frames samples.
double RenderRms(VstInstance& vi, int frames)
{
    std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
    float* outs[] = {left.data(), right.data()};
    vi.effect->processReplacing(vi.effect, nullptr, outs, frames);
    double sum = 0.0;
    for (float s : left)
        sum += static_cast<double>(s) * s;
    return std::sqrt(sum / frames);
}

// Every block's "Cutoff" at kLowCutoff in the parameter table only; the engine has not heard of it.
void SetLowCutoffs(ZR4400& plug)
{
    for (int b = 0; b < Param::kNumBlocks; ++b)
        plug.GetParam(Param::BlockParamIndex(b, Param::kCutoff))->Set(kLowCutoff);
}

double Db(double ratio)
{
    return 20.0 * std::log10(ratio);
}

class ProgramLoadTest : public ::testing::Test
{
protected:
    // Init (filters wide open) in slot 63, Init with every block's "Cutoff" at kLowCutoff in slot
    // 62; Init is current and its glide has ended. Returns the low program's chunk.
    std::vector<uint8_t> Prepare(VstInstance& vi)
    {
        vi.Start(kRate);
        vi.Dispatch(vst::effSetProgram, 0, kInit);
        const std::vector<uint8_t> open = vi.GetChunk(1);
        SetLowCutoffs(vi.Plug());
        const std::vector<uint8_t> low = vi.GetChunk(1);
        vi.SetChunk(1, open);
        vi.Dispatch(vst::effSetProgram, 0, kOther); // slot 63 keeps Init's values
        vi.SetChunk(1, low);
        vi.Dispatch(vst::effSetProgram, 0, kInit);
        RenderRms(vi, 300 * kMs);
        return low;
    }

    // The level of a note's first 80 ms (after 10 ms of attack), played waitMs after load runs.
    template <class Load> double NoteLevelAfter(Load load, int waitMs)
    {
        VstInstance vi(host);
        const std::vector<uint8_t> low = Prepare(vi);
        load(vi, low);
        if (waitMs > 0) RenderRms(vi, waitMs * kMs);
        vi.SendMidi({{kNoteOn, kKey, 100}});
        RenderRms(vi, 10 * kMs);
        return RenderRms(vi, 80 * kMs);
    }

    FileTestHome home;
    FakeVstHost host;
};

const auto kLoadChunk = [](VstInstance& vi, const std::vector<uint8_t>& low) { vi.SetChunk(1, low); };
const auto kLoadProgram = [](VstInstance& vi, const std::vector<uint8_t>&)
{ vi.Dispatch(vst::effSetProgram, 0, kOther); };
// The bank chunk stores the current values in the current slot first: a bank whose current
// program is the low one.
const auto kLoadBank = [](VstInstance& vi, const std::vector<uint8_t>&)
{
    SetLowCutoffs(vi.Plug());
    vi.SetChunk(0, vi.GetChunk(0));
};

} // namespace

TEST_F(ProgramLoadTest, ANoteRightAfterALoadInSilenceSoundsAsOnePlayedLater)
{
    const double settled = NoteLevelAfter(kLoadChunk, 200);
    const double open = NoteLevelAfter([](VstInstance&, const std::vector<uint8_t>&) {}, 0);
    ASSERT_GT(settled, 1e-4);
    ASSERT_GT(Db(open / settled), 6.0); // the low cutoff is clearly heard
    EXPECT_NEAR(Db(NoteLevelAfter(kLoadChunk, 0) / settled), 0.0, 0.5) << "chunk";
    EXPECT_NEAR(Db(NoteLevelAfter(kLoadProgram, 0) / settled), 0.0, 0.5) << "program";
    EXPECT_NEAR(Db(NoteLevelAfter(kLoadBank, 0) / settled), 0.0, 0.5) << "bank";
}

TEST_F(ProgramLoadTest, UnderAHeldNoteTheCutoffStillGlidesToTheLoadedValue)
{
    VstInstance vi(host);
    Prepare(vi);
    const int top = vi.Plug().GetEngine().Block(0).CutoffIndex();
    const int target = static_cast<int>(std::sqrt(kLowCutoff) * SynthBlock::kCutoffIndexScale);
    vi.SendMidi({{kNoteOn, kKey, 100}});
    RenderRms(vi, 20 * kMs);
    vi.Dispatch(vst::effSetProgram, 0, kOther);
    RenderRms(vi, 50 * kMs);
    const int halfway = vi.Plug().GetEngine().Block(0).CutoffIndex();
    EXPECT_NEAR(halfway, (top + target) / 2, (top - target) / 10);
    RenderRms(vi, 60 * kMs);
    EXPECT_NEAR(vi.Plug().GetEngine().Block(0).CutoffIndex(), target, 1);
}
