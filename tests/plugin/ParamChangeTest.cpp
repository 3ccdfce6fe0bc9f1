#include "FakeVstHost.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace zr;

namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Records every change as an event of the plug-in it watches: ('c', i) ParamChanged with the value
// stored at that moment, ('h', i) the host told, ('e', i) the editor told.
class RecordingPlug : public TestPlug
{
public:
    void ParamChanged(int index) override
    {
        TestPlug::ParamChanged(index);
        valueSeenByHandler = GetParam(index)->Value();
    }
    double valueSeenByHandler = kNaN;
};

struct RecordingEditor : IEditorLink
{
    explicit RecordingEditor(RecordingPlug& plug) : plug_(plug) {}
    void PushParamToControls(int index, double value, bool normalized) override
    {
        plug_.events.emplace_back('e', index);
        lastValue = value;
        lastNormalized = normalized;
    }
    void PrepareDraw() override {}

    double lastValue = kNaN;
    bool lastNormalized = false;

private:
    RecordingPlug& plug_;
};

using Events = std::vector<std::pair<char, int>>;

class ParamChangeTest : public ::testing::Test
{
protected:
    ParamChangeTest()
    {
        auto owned = std::make_unique<RecordingEditor>(plug);
        editor = owned.get();
        plug.AttachEditor(std::move(owned));
        plug.ClearRecords();
    }

    RecordingPlug plug;
    RecordingEditor* editor = nullptr;
};

constexpr int kPb = Param::kPbRange; // -24 .. 24 semitones
} // namespace

TEST_F(ParamChangeTest, EachSourceTellsOnlyItsListenersAfterStoringAndApplying)
{
    struct Case
    {
        ParamSource source;
        Events events;
    };
    const Case cases[] = {
        {ParamSource::Host, {{'c', kPb}, {'e', kPb}}},
        {ParamSource::Editor, {{'c', kPb}, {'h', kPb}}},
        {ParamSource::Controller, {{'c', kPb}, {'h', kPb}, {'e', kPb}}},
        {ParamSource::Program, {{'c', kPb}, {'e', kPb}}},
    };
    for (const Case& c : cases)
    {
        plug.ClearRecords();
        plug.ChangeParam(kPb, 0.75, c.source);
        EXPECT_EQ(plug.events, c.events) << static_cast<int>(c.source);
        EXPECT_EQ(plug.valueSeenByHandler, 12.0) << "stored before it is applied";
        if (TellsHost(c.source))
        {
            EXPECT_EQ(plug.automated.back(), std::make_pair(kPb, 0.75));
        }
        if (TellsEditor(c.source))
        {
            EXPECT_TRUE(editor->lastNormalized);
            EXPECT_EQ(editor->lastValue, 0.75);
        }
        plug.ChangeParam(kPb, 0.5, c.source); // back to 0 for the next case
    }
}

TEST_F(ParamChangeTest, NaNCountsAsZeroAndValuesAreLimitedToTheirRange)
{
    plug.ChangeParam(kPb, kNaN, ParamSource::Editor);
    EXPECT_EQ(plug.GetParam(kPb)->Value(), -24.0);
    EXPECT_EQ(plug.automated.back().second, 0.0);
    plug.ChangeParam(kPb, 7.0, ParamSource::Editor);
    EXPECT_EQ(plug.GetParam(kPb)->Value(), 24.0);
    EXPECT_EQ(plug.automated.back().second, 1.0);
    plug.ChangeParam(kPb, -std::numeric_limits<double>::infinity(), ParamSource::Editor);
    EXPECT_EQ(plug.GetParam(kPb)->Value(), -24.0);

    plug.ChangeParamValue(kPb, 1e300, ParamSource::Editor);
    EXPECT_EQ(plug.GetParam(kPb)->Value(), 24.0);
    EXPECT_EQ(plug.automated.back().second, 1.0); // the stored value's position
    plug.ChangeParamValue(kPb, kNaN, ParamSource::Editor);
    EXPECT_EQ(plug.GetParam(kPb)->Value(), 0.0);
    EXPECT_EQ(plug.automated.back().second, 0.5);
    EXPECT_TRUE(plug.AllParamsInRange());
}

TEST_F(ParamChangeTest, BadIndexesChangeNothingAndTellNoOne)
{
    for (int index : {-1, static_cast<int>(Param::kNumParams), 1 << 30})
    {
        for (ParamSource source : {ParamSource::Host, ParamSource::Editor, ParamSource::Controller})
        {
            plug.ChangeParam(index, 0.5, source);
            plug.ChangeParamValue(index, 0.5, source);
        }
    }
    EXPECT_TRUE(plug.events.empty());
}

TEST_F(ParamChangeTest, ProgramLoadsStoreEveryValueBeforeApplyingAndShowEachInTheEditor)
{
    ChunkBuffer state;
    plug.GetParam(kPb)->Set(5.0);
    ASSERT_TRUE(plug.SerializeProgramState(state));
    plug.GetParam(kPb)->Set(-5.0);
    plug.ClearRecords();
    ASSERT_GT(plug.UnserializeProgramState(state, 0), 0);
    EXPECT_EQ(plug.GetParam(kPb)->Value(), 5.0);
    ASSERT_EQ(plug.events.size(), 2u * Param::kNumParams);
    for (int i = 0; i < Param::kNumParams; ++i)
    {
        EXPECT_EQ(plug.events[2 * i], std::make_pair('c', i));
        EXPECT_EQ(plug.events[2 * i + 1], std::make_pair('e', i));
    }
    EXPECT_TRUE(plug.automated.empty()); // the host made the load or is told by its caller
}

TEST_F(ParamChangeTest, EditorChangesGoTheSameWay)
{
    plug.SetParamFromEditor(kPb, 0.25);
    EXPECT_EQ(plug.events, (Events{{'c', kPb}, {'h', kPb}}));
    EXPECT_EQ(plug.GetParam(kPb)->Value(), -12.0);
}

// The adapter's routes: the host's set-parameter and its typed values, and a mapped controller.
TEST(ParamChangeRoutes, HostChangesReachTheEditorButAreNotEchoedToTheHost)
{
    FakeVstHost host;
    VstInstance vi(host);
    vi.Start();
    host.calls.clear();
    vi.effect->setParameter(vi.effect, kPb, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(vi.Plug().GetParam(kPb)->Value(), -24.0);
    vi.effect->setParameter(vi.effect, kPb, 3.0f);
    EXPECT_EQ(vi.Plug().GetParam(kPb)->Value(), 24.0);
    char text[] = "-3";
    EXPECT_EQ(vi.Dispatch(vst::effString2Parameter, kPb, 0, text), 1);
    EXPECT_EQ(vi.Plug().GetParam(kPb)->Value(), -3.0);
    char big[] = "99";
    vi.Dispatch(vst::effString2Parameter, kPb, 0, big);
    EXPECT_EQ(vi.Plug().GetParam(kPb)->Value(), 24.0);
    EXPECT_EQ(host.Count(vst::audioMasterAutomate), 0);
}

TEST(ParamChangeRoutes, MappedControllersTellTheHost)
{
    FakeVstHost host;
    VstInstance vi(host);
    vi.Start();
    vi.Plug().MapController(7, kPb);
    host.calls.clear();
    vi.SendMidi({{0xB0, 7, 127}});
    float out[2][64] = {};
    float* outputs[2] = {out[0], out[1]};
    vi.effect->processReplacing(vi.effect, nullptr, outputs, 64);
    EXPECT_EQ(vi.Plug().GetParam(kPb)->Value(), 24.0);
    ASSERT_EQ(host.Count(vst::audioMasterAutomate), 1);
    for (const FakeVstHost::Call& call : host.calls)
    {
        if (call.opcode == vst::audioMasterAutomate)
        {
            EXPECT_EQ(call.index, kPb);
            EXPECT_EQ(call.opt, 1.0f);
        }
    }
}
