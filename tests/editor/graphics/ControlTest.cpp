// The base behaviour of the controls, driven as the graphics object drives them.
#include "EditorTestPlug.h"

#include "editor/graphics/IContactControl.h"
#include "editor/graphics/IKnobMultiControl.h"
#include "editor/graphics/ISwitchControl.h"
#include "editor/graphics/ITextControl.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zr;

namespace
{
uint32_t Grey(int frame)
{
    return 0xff000000u | static_cast<uint32_t>(frame) * 0x010101u;
}

constexpr IMouseState kPlain{true, false, false, false, false};
constexpr IMouseState kShift{true, false, true, false, false};
constexpr IMouseState kControl{true, false, false, true, false};

struct Knobs : ::testing::Test
{
    EditorRig rig;
    // 40 pixels high, 65 frames: the panel's big knob.
    std::unique_ptr<LICE_MemBitmap> image = MakeStripImage(40, 40, 65, Grey);
    IKnobMultiControl& knob =
        rig.Add<IKnobMultiControl>(10, 10, EditorTestPlug::kLevel, StripOf(*image, 65), 4.0);
};
} // namespace

TEST(IControl, FirstPluginValueBecomesTheDefaultAndAnEqualValueLeavesItClean)
{
    EditorTestPlug plug;
    ProbeControl control(plug, {0, 0, 10, 10}, EditorTestPlug::kLevel);
    EXPECT_TRUE(control.NeedsDraw()); // new controls are drawn once
    control.TakePluginValue(0.25);
    EXPECT_DOUBLE_EQ(control.DefaultValue(), 0.25);
    control.MarkClean();
    EXPECT_FALSE(control.NeedsDraw());

    control.TakePluginValue(0.25);
    EXPECT_FALSE(control.NeedsDraw());

    control.TakePluginValue(0.5);
    EXPECT_TRUE(control.NeedsDraw());
    EXPECT_DOUBLE_EQ(control.DefaultValue(), 0.25);
    // A plug-in value is never written back.
    EXPECT_TRUE(plug.automated.empty());
    // The pending redraw keeps it dirty for one more cycle.
    control.MarkClean();
    EXPECT_TRUE(control.NeedsDraw());
    control.MarkClean();
    EXPECT_FALSE(control.NeedsDraw());
}

TEST(IControl, UserChoiceWritesTheClampedValueToTheParameter)
{
    EditorTestPlug plug;
    ProbeControl control(plug, {0, 0, 10, 10}, EditorTestPlug::kLevel);
    control.TakePluginValue(0.25);
    control.TakeUserChoice(0.25);
    EXPECT_TRUE(plug.automated.empty());
    control.TakeUserChoice(1.7);
    EXPECT_DOUBLE_EQ(control.Value(), 1.0);
    ASSERT_EQ(plug.automated.size(), 1u);
    EXPECT_DOUBLE_EQ(plug.automated[0].second, 1.0);
    EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kLevel)->Value(), 100.0);
    EXPECT_EQ(plug.changed, std::vector<int>{EditorTestPlug::kLevel});

    control.SetClamp(0.2, 0.6);
    control.TakeUserChoice(std::nan(""));
    EXPECT_DOUBLE_EQ(control.Value(), 0.2);
}

TEST(IControl, ControlsWithoutParameterWriteNothing)
{
    EditorTestPlug plug;
    ProbeControl control(plug, {0, 0, 10, 10}, IControl::kNoParameter);
    control.TakeUserChoice(0.5);
    control.OnMouseDown(1, 1, IMouseState{false, true, false, false, false}); // no value entry either
    EXPECT_TRUE(plug.automated.empty());
}

TEST(IControl, GreyedControlsAreDimmedAndHiddenOnesRedrawOnceMore)
{
    EditorTestPlug plug;
    ProbeControl control(plug, {0, 0, 10, 10}, IControl::kNoParameter);
    control.MarkClean();
    control.SetGreyed(true);
    EXPECT_FLOAT_EQ(control.Blend().weight, 0.25f);
    EXPECT_TRUE(control.NeedsDraw());
    control.SetGreyed(false);
    EXPECT_FLOAT_EQ(control.Blend().weight, 1.0f);
    control.MarkClean();
    control.Hide(true);
    control.MarkClean();
    EXPECT_TRUE(control.NeedsDraw());
}

TEST_F(Knobs, BigKnobAtGearingFourMovesAQuarterFor40PixelsUp)
{
    rig.Attach();
    EXPECT_EQ(knob.Rect(), (IRectangle{10, 10, 50, 50}));
    knob.SetValue(0.5);
    knob.OnMouseDrag(0, 0, 0, -40, kPlain);
    EXPECT_NEAR(knob.Value(), 0.75, 1e-12);
    knob.OnMouseDrag(0, 0, 0, -40, kShift);
    EXPECT_NEAR(knob.Value(), 0.775, 1e-12);
    knob.OnMouseDrag(0, 0, 0, 40, kControl);
    EXPECT_NEAR(knob.Value(), 0.75, 1e-12);
    // Downwards lowers, and the value stops at the ends.
    knob.OnMouseDrag(0, 0, 0, 400, kPlain);
    EXPECT_DOUBLE_EQ(knob.Value(), 0.0);
    // Each step reached the parameter.
    EXPECT_EQ(rig.plug.automated.size(), 4u);
    EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorTestPlug::kLevel)->Value(), 0.0);
}

TEST_F(Knobs, NegativeGearingReversesTheDirection)
{
    knob.SetGearing(-4.0);
    knob.SetValue(0.5);
    knob.OnMouseDrag(0, 0, 0, -40, kPlain);
    EXPECT_NEAR(knob.Value(), 0.25, 1e-12);
}

TEST_F(Knobs, WheelNotchesAreFinerWithShiftOrControl)
{
    knob.SetValue(0.5);
    knob.OnMouseWheel(0, 0, kPlain, 3);
    EXPECT_NEAR(knob.Value(), 0.53, 1e-12);
    knob.OnMouseWheel(0, 0, kShift, -2);
    EXPECT_NEAR(knob.Value(), 0.528, 1e-12);
    knob.OnMouseWheel(0, 0, kControl, 1);
    EXPECT_NEAR(knob.Value(), 0.529, 1e-12);
}

TEST_F(Knobs, DoubleClickRestoresTheDefaultAndWritesIt)
{
    rig.Attach(); // level 25 of 0..100: default position 0.25
    knob.OnMouseDrag(0, 0, 0, -40, kPlain);
    rig.plug.automated.clear();
    knob.OnMouseDoubleClick(0, 0, kPlain);
    EXPECT_DOUBLE_EQ(knob.Value(), 0.25);
    ASSERT_EQ(rig.plug.automated.size(), 1u);
    EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorTestPlug::kLevel)->Value(), 25.0);
}

TEST(ISwitchControl, StepsThroughItsFramesAndWraps)
{
    EditorRig rig;
    auto image = MakeStripImage(10, 10, 3, Grey);
    auto& sw = rig.Add<ISwitchControl>(0, 0, EditorTestPlug::kWave, StripOf(*image, 3));
    sw.OnMouseDown(0, 0, kPlain);
    EXPECT_DOUBLE_EQ(sw.Value(), 0.5);
    sw.OnMouseDoubleClick(0, 0, kPlain); // a second step, not the default
    EXPECT_DOUBLE_EQ(sw.Value(), 1.0);
    sw.OnMouseDown(0, 0, kPlain);
    EXPECT_DOUBLE_EQ(sw.Value(), 0.0);
    EXPECT_EQ(rig.plug.automated.size(), 3u);

    auto one = MakeStripImage(10, 10, 1, Grey);
    auto& single = rig.Add<ISwitchControl>(0, 0, EditorTestPlug::kSwitch, StripOf(*one, 1));
    single.OnMouseDown(0, 0, kPlain);
    EXPECT_DOUBLE_EQ(single.Value(), 1.0);
    single.OnMouseDown(0, 0, kPlain);
    EXPECT_DOUBLE_EQ(single.Value(), 0.0);
}

TEST(IContactControl, ReturnsToZeroOnRelease)
{
    EditorRig rig;
    auto image = MakeStripImage(10, 10, 2, Grey);
    auto& contact = rig.Add<IContactControl>(0, 0, EditorTestPlug::kSwitch, StripOf(*image, 2));
    contact.OnMouseDown(0, 0, kPlain);
    EXPECT_DOUBLE_EQ(contact.Value(), 1.0);
    EXPECT_TRUE(rig.plug.GetParam(EditorTestPlug::kSwitch)->BoolValue());
    contact.OnMouseUp(0, 0, kPlain);
    EXPECT_DOUBLE_EQ(contact.Value(), 0.0);
    EXPECT_FALSE(rig.plug.GetParam(EditorTestPlug::kSwitch)->BoolValue());
}

TEST(ITextControl, ChangedTextMarksDirty)
{
    EditorTestPlug plug;
    ITextControl text(plug, {0, 0, 50, 12}, ITextStyle{}, "abc");
    text.MarkClean();
    text.ShowPluginText("abc");
    EXPECT_FALSE(text.NeedsDraw());
    text.ShowPluginText("abd");
    EXPECT_TRUE(text.NeedsDraw());
    EXPECT_EQ(text.Text(), "abd");
}
