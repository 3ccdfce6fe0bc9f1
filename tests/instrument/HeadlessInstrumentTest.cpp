#include "instrument/HeadlessInstrument.h"
#include "instrument/ParameterTable.h"
#include "instrument/ZR4400.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace zr
{
namespace
{

constexpr double kRate = HeadlessInstrument::kDefaultRate;
constexpr int kBlock = HeadlessInstrument::kDefaultMaxBlock;

std::vector<double> PlayChord(Engine& engine)
{
    for (std::uint8_t key : {48, 55, 64})
        engine.HandleMidi({0, 0x90, key, 100});
    std::vector<double> left(kBlock), right(kBlock), out;
    for (int block = 0; block < 8; ++block)
    {
        engine.ProcessAudio(left.data(), right.data(), kBlock);
        out.insert(out.end(), left.begin(), left.end());
        out.insert(out.end(), right.begin(), right.end());
    }
    return out;
}

// The plug-in and the headless instrument are the same composition: given the same program they
// render the same samples.
TEST(HeadlessInstrument, RendersThePlugInsProgramSampleForSample)
{
    auto plug = std::make_unique<ZR4400>(nullptr);
    plug->ApplySampleRate(kRate);
    plug->ApplyBlockSize(kBlock);
    plug->SetUp();
    ASSERT_TRUE(plug->SelectPreset(3));
    ChunkBuffer state;
    ASSERT_TRUE(plug->SerializeProgramState(state));

    HeadlessInstrument headless;
    ASSERT_GT(headless.UnserializeProgramState(state, 0), 0);
    for (int i = 0; i < Param::kNumParams; ++i)
        ASSERT_EQ(headless.GetParam(i)->Value(), plug->GetParam(i)->Value()) << i;

    const std::vector<double> expected = PlayChord(plug->GetEngine());
    const std::vector<double> actual = PlayChord(headless.GetEngine());
    double peak = 0.0;
    for (double x : expected)
        peak = std::max(peak, std::abs(x));
    EXPECT_GT(peak, 1e-3); // the program makes a sound
    EXPECT_EQ(actual, expected);
}

} // namespace
} // namespace zr
