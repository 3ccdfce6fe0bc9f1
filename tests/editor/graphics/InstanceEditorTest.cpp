// The editor of a whole instance, created as the module's entry creates it and driven as a host and
// a user drive it: host calls through the effect record, mouse input through the graphics object.
#include "../../plugin/FakeVstHost.h"

#include "EditorTestPlug.h"

#include "editor/graphics/IKnobMultiControl.h"
#include "instrument/ParameterTable.h"

#include <gtest/gtest.h>

using namespace zr;

namespace
{
constexpr int kCutoffA = Param::BlockParamIndex(0, Param::kCutoff);
constexpr int kCutoffB = Param::BlockParamIndex(1, Param::kCutoff);

uint32_t Frames(int frame)
{
    return 0xff000000u | static_cast<uint32_t>(frame);
}

struct InstanceEditor : ::testing::Test
{
    FakeVstHost host;
    VstInstance vi{host};
    IGraphics& graphics = vi.Plug().GetGraphics();
    std::unique_ptr<LICE_MemBitmap> image = MakeStripImage(40, 40, 65, Frames);

    // A big knob at (x, y) bound to index, showing the parameter's value as attaching would.
    IKnobMultiControl& AddKnob(int x, int y, int index)
    {
        auto knob = std::make_unique<IKnobMultiControl>(vi.Plug(), x, y, index, StripOf(*image, 65), 4.0);
        IKnobMultiControl& result = *knob;
        graphics.AddControl(std::move(knob));
        graphics.PushParamToControls(index, vi.Plug().GetParam(index)->GetNormalized(), true);
        return result;
    }

    std::vector<FakeVstHost::Call> EditCalls() const
    {
        std::vector<FakeVstHost::Call> calls;
        for (const FakeVstHost::Call& call : host.calls)
        {
            if (call.opcode == vst::audioMasterBeginEdit || call.opcode == vst::audioMasterEndEdit ||
                call.opcode == vst::audioMasterAutomate)
            {
                calls.push_back(call);
            }
        }
        return calls;
    }

    IRectangle Tick()
    {
        IRectangle area;
        if (graphics.CollectDirty(area)) graphics.DrawDirty(area);
        return area;
    }
};
} // namespace

TEST_F(InstanceEditor, TheInstanceAttachesItsPanelSizedEditor)
{
    EXPECT_EQ(graphics.Width(), 1480);
    EXPECT_EQ(graphics.Height(), 660);
    EXPECT_EQ(graphics.FPS(), 25);
    EXPECT_EQ(vi.Plug().GetEditor(), &graphics);
    ASSERT_NE(graphics.Surface(), nullptr);
    EXPECT_EQ(vi.effect->flags & vst::effFlagsHasEditor, vst::effFlagsHasEditor);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(vi.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 660);
    EXPECT_EQ(rect->right, 1480);
}

TEST_F(InstanceEditor, DraggingAKnobIsOneEditOfItsParameterForTheHost)
{
    vi.Start();
    IKnobMultiControl& knob = AddKnob(100, 100, kCutoffA);
    vi.effect->setParameter(vi.effect, kCutoffA, 0.5f);
    const double before = knob.Value();
    ASSERT_NEAR(before, 0.5, 1e-6);
    host.calls.clear();
    const IMouseState mouse{true, false, false, false, false};
    graphics.OnMouseDown(120, 120, mouse);
    graphics.OnMouseDrag(120, 110, mouse);
    graphics.OnMouseDrag(121, 100, mouse);
    graphics.OnMouseUp(500, 700, mouse); // released below the panel
    const std::vector<FakeVstHost::Call> calls = EditCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls.front().opcode, vst::audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, vst::audioMasterAutomate);
    EXPECT_EQ(calls[2].opcode, vst::audioMasterAutomate);
    EXPECT_EQ(calls.back().opcode, vst::audioMasterEndEdit);
    for (const FakeVstHost::Call& call : calls)
        EXPECT_EQ(call.index, kCutoffA);
    // 20 pixels up on a 40-pixel knob at gearing 4: an eighth of the range.
    const double expected = before + 0.125;
    EXPECT_NEAR(knob.Value(), expected, 1e-9);
    EXPECT_NEAR(calls[2].opt, expected, 1e-6);
    EXPECT_NEAR(vi.effect->getParameter(vi.effect, kCutoffA), expected, 1e-6);
    EXPECT_NEAR(vi.Plug().GetParam(kCutoffA)->GetNormalized(), expected, 1e-9);
}

TEST_F(InstanceEditor, HostAutomationMovesOnlyTheControlsOfThatIndex)
{
    IKnobMultiControl& a = AddKnob(100, 100, kCutoffA);
    IKnobMultiControl& a2 = AddKnob(300, 100, kCutoffA);
    IKnobMultiControl& b = AddKnob(200, 100, kCutoffB);
    Tick();
    Tick();
    const double bBefore = b.Value();
    host.calls.clear();
    vi.effect->setParameter(vi.effect, kCutoffA, 0.25f);
    EXPECT_NEAR(a.Value(), 0.25, 1e-6);
    EXPECT_NEAR(a2.Value(), 0.25, 1e-6);
    EXPECT_DOUBLE_EQ(b.Value(), bBefore);
    // Of the whole panel, only controls of that index are dirty.
    int dirty = 0;
    for (int i = 0; i < graphics.NControls(); ++i)
    {
        const IControl& control = *graphics.GetControl(i);
        if (!control.NeedsDraw()) continue;
        ++dirty;
        EXPECT_EQ(control.ParamIndex(), kCutoffA) << "control " << i;
    }
    EXPECT_GE(dirty, 2);
    Tick();
    // The host is not told back of its own change.
    EXPECT_TRUE(EditCalls().empty());
    // The drawn frame is the one for the new value.
    auto& platform = static_cast<HeadlessPlatform&>(graphics.Platform());
    EXPECT_EQ(platform.FramePixel(120, 120), Frames(a.Strip().FrameFor(a.Value())));
}

TEST_F(InstanceEditor, ProgramChangesReachTheControls)
{
    IKnobMultiControl& a = AddKnob(100, 100, kCutoffA);
    vi.effect->setParameter(vi.effect, kCutoffA, 0.9f);
    Tick();
    Tick();
    // Initialising the program gives every parameter its default again; the knob follows.
    vi.Plug().InitProgram();
    EXPECT_NEAR(a.Value(), vi.Plug().GetParam(kCutoffA)->GetNormalized(), 1e-12);
    EXPECT_TRUE(a.NeedsDraw());
}
