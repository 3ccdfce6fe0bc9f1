// The graphics object: redraw bookkeeping, drawing, input dispatch and the value entry, driven
// through the headless platform as a window would drive it.
#include "EditorTestPlug.h"

#include "editor/graphics/IBitmapControl.h"
#include "editor/graphics/IKnobMultiControl.h"
#include "editor/graphics/ISwitchControl.h"
#include "editor/graphics/ITextControl.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

using namespace zr;

namespace
{
constexpr IMouseState kLeft{true, false, false, false, false};
constexpr IMouseState kRight{false, true, false, false, false};

uint32_t Red(int)
{
    return 0xffff0000u;
}
// Frame k is blue k, opaque.
uint32_t BlueFrames(int frame)
{
    return 0xff000000u | static_cast<uint32_t>(frame);
}

struct Panel : ::testing::Test
{
    EditorRig rig;
    ProbeControl& left = rig.Add<ProbeControl>(IRectangle{0, 0, 50, 50}, EditorTestPlug::kLevel);
    ProbeControl& right = rig.Add<ProbeControl>(IRectangle{100, 0, 150, 50}, EditorTestPlug::kSteps);
    // Overlaps left and lies on top of it.
    ProbeControl& top = rig.Add<ProbeControl>(IRectangle{40, 40, 60, 60}, IControl::kNoParameter);

    void SetUp() override
    {
        rig.Attach();
        rig.Tick();
        left.draws = right.draws = top.draws = 0;
    }
};
} // namespace

TEST_F(Panel, NoSurfacesBeforeAttachingAndTheFirstTickDrawsEverything)
{
    EditorRig fresh;
    auto& control = fresh.Add<ProbeControl>(IRectangle{5, 5, 10, 10}, EditorTestPlug::kLevel);
    EXPECT_EQ(fresh.graphics.Surface(), nullptr);
    IRectangle area;
    EXPECT_TRUE(fresh.graphics.CollectDirty(area));
    EXPECT_FALSE(fresh.graphics.DrawDirty(area)); // nothing to draw into yet
    fresh.Attach();
    ASSERT_NE(fresh.graphics.Surface(), nullptr);
    EXPECT_EQ(fresh.graphics.Surface()->Width(), 200);
    EXPECT_EQ(fresh.graphics.Surface()->Height(), 100);
    EXPECT_EQ(fresh.Tick(), (IRectangle{5, 5, 10, 10}));
    EXPECT_EQ(control.draws, 1);
    EXPECT_EQ(fresh.platform.PresentCount(), 1);
}

TEST_F(Panel, TheTwentyFirstQuietCollectRunsTheIdleHookOnce)
{
    IRectangle area;
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(rig.graphics.CollectDirty(area));
    EXPECT_EQ(rig.plug.idles, 0);
    EXPECT_FALSE(rig.graphics.CollectDirty(area));
    EXPECT_EQ(rig.plug.idles, 1);
    // The count started again.
    for (int i = 0; i < 20; ++i)
        rig.graphics.CollectDirty(area);
    EXPECT_EQ(rig.plug.idles, 1);
    // A dirty control resets it: twenty quiet calls so far, then a dirty one.
    left.MarkDirty(false);
    EXPECT_TRUE(rig.graphics.CollectDirty(area));
    rig.graphics.DrawDirty(area);
    for (int i = 0; i < 20; ++i)
        rig.graphics.CollectDirty(area);
    EXPECT_EQ(rig.plug.idles, 1);
    rig.graphics.CollectDirty(area);
    EXPECT_EQ(rig.plug.idles, 2);
}

TEST_F(Panel, EqualPluginValuesDoNotDirty)
{
    rig.graphics.PushParamToControls(EditorTestPlug::kLevel, 25.0, false); // the value it has
    IRectangle area;
    EXPECT_FALSE(rig.graphics.CollectDirty(area));
    rig.graphics.PushParamToControls(EditorTestPlug::kLevel, 50.0, false);
    EXPECT_TRUE(rig.graphics.CollectDirty(area));
    EXPECT_EQ(area, left.Rect());
    EXPECT_DOUBLE_EQ(left.Value(), 0.5);
    EXPECT_DOUBLE_EQ(right.Value(), 0.3); // only the bound control moved
    // An index without a parameter is ignored.
    rig.graphics.PushParamToControls(99, 1.0, false);
}

TEST_F(Panel, StrictDrawingDrawsOnlyControlsMeetingTheArea)
{
    right.MarkDirty(false);
    EXPECT_EQ(rig.Tick(), right.Rect());
    EXPECT_EQ(right.draws, 1);
    EXPECT_EQ(left.draws, 0);
    EXPECT_EQ(top.draws, 0);
    // A dirty overlapping control also redraws the ones below it inside the area.
    top.MarkDirty(false);
    rig.Tick();
    EXPECT_EQ(top.draws, 1);
    EXPECT_EQ(left.draws, 1);
    EXPECT_EQ(right.draws, 1);
    // Everything is clean afterwards, drawn or not.
    IRectangle area;
    EXPECT_FALSE(rig.graphics.CollectDirty(area));
    EXPECT_EQ(rig.platform.LastPresented(), top.Rect());
}

TEST_F(Panel, HiddenControlsAreNeitherDrawnNorHit)
{
    top.Hide(true);
    rig.Tick();
    EXPECT_EQ(top.draws, 0);
    EXPECT_EQ(left.draws, 1); // the area it left is drawn again
    rig.graphics.OnMouseDown(45, 45, kLeft);
    EXPECT_EQ(rig.graphics.CaptureIndex(), 0); // the control below took it
    EXPECT_TRUE(top.downs.empty());
    EXPECT_EQ(left.downs.size(), 1u);
    rig.graphics.OnMouseUp(45, 45, kLeft);
    // Greyed controls are drawn but not hit.
    top.Hide(false);
    top.SetGreyed(true);
    rig.Tick();
    EXPECT_EQ(top.draws, 1);
    rig.graphics.OnMouseDown(55, 55, kLeft);
    EXPECT_EQ(rig.graphics.CaptureIndex(), IGraphics::kNone);
}

TEST_F(Panel, MouseDownOverNothingCapturesNothingAndTellsTheHostNothing)
{
    rig.graphics.OnMouseDown(80, 80, kLeft);
    EXPECT_EQ(rig.graphics.CaptureIndex(), IGraphics::kNone);
    rig.graphics.OnMouseDrag(10, 10, kLeft);
    EXPECT_TRUE(left.drags.empty());
    // The mouse up goes to the control under the mouse, without an edit to end.
    rig.graphics.OnMouseUp(10, 10, kLeft);
    EXPECT_EQ(left.ups.size(), 1u);
    EXPECT_TRUE(rig.plug.edits.empty());
}

TEST_F(Panel, DragEndingOutsideThePanelReachesTheCapturedControl)
{
    rig.graphics.OnMouseDown(10, 10, kLeft);
    rig.graphics.OnMouseDrag(10, 10, kLeft); // no movement, no drag
    rig.graphics.OnMouseDrag(12, 4, kLeft);
    rig.graphics.OnMouseDrag(-30, -200, kLeft);
    rig.graphics.OnMouseUp(-30, -200, kLeft);
    EXPECT_EQ(left.drags, (std::vector<std::pair<int, int>>{{2, -6}, {-42, -204}}));
    EXPECT_EQ(left.ups, (std::vector<std::pair<int, int>>{{-30, -200}}));
    EXPECT_EQ(rig.graphics.CaptureIndex(), IGraphics::kNone);
    EXPECT_EQ(rig.plug.edits, (std::vector<std::pair<char, int>>{{'b', EditorTestPlug::kLevel},
                                                                 {'e', EditorTestPlug::kLevel}}));
}

TEST_F(Panel, DoubleClickAsSingleClickCapturesAndDeliversAMouseDown)
{
    EXPECT_FALSE(rig.graphics.OnMouseDoubleClick(120, 10, kLeft));
    EXPECT_TRUE(right.downs.empty());
    right.SetDoubleClickAsSingle(true);
    EXPECT_TRUE(rig.graphics.OnMouseDoubleClick(120, 10, kLeft));
    EXPECT_EQ(right.downs.size(), 1u);
    EXPECT_EQ(rig.graphics.CaptureIndex(), 1);
    EXPECT_FALSE(rig.graphics.OnMouseDoubleClick(80, 80, kLeft));
    EXPECT_EQ(rig.graphics.CaptureIndex(), IGraphics::kNone);
}

TEST_F(Panel, WheelGoesToTheCapturedControlFirst)
{
    rig.graphics.OnMouseWheel(120, 10, kLeft, 2);
    EXPECT_EQ(right.wheel, 2);
    rig.graphics.OnMouseDown(10, 10, kLeft);
    rig.graphics.OnMouseWheel(120, 10, kLeft, -1);
    EXPECT_EQ(left.wheel, -1);
    EXPECT_EQ(right.wheel, 2);
    rig.graphics.OnMouseWheel(80, 80, kLeft, 1); // still captured
    EXPECT_EQ(left.wheel, 0);
}

TEST_F(Panel, MouseOverMovesBetweenControlsAndStaysOverEmptyAreas)
{
    EXPECT_FALSE(rig.graphics.OnMouseOver(10, 10, {}));
    rig.graphics.SetHandleMouseOver(true);
    EXPECT_TRUE(rig.graphics.OnMouseOver(10, 10, {}));
    EXPECT_EQ(left.overs, 1);
    EXPECT_EQ(rig.graphics.MouseOverIndex(), 0);
    EXPECT_TRUE(rig.graphics.OnMouseOver(80, 80, {}));
    EXPECT_EQ(rig.graphics.MouseOverIndex(), 0);
    EXPECT_EQ(left.outs, 0);
    rig.graphics.OnMouseOver(120, 10, {});
    EXPECT_EQ(left.outs, 1);
    EXPECT_EQ(right.overs, 1);
    // Grayed controls only when they accept it.
    top.SetGreyed(true);
    rig.graphics.OnMouseOver(55, 55, {});
    EXPECT_EQ(top.overs, 0);
    top.SetMouseOverWhenGrayed(true);
    rig.graphics.OnMouseOver(55, 55, {});
    EXPECT_EQ(top.overs, 1);
    rig.graphics.OnMouseOut();
    EXPECT_EQ(rig.graphics.MouseOverIndex(), IGraphics::kNone);
    EXPECT_EQ(left.outs, 2);
}

TEST_F(Panel, KeysSkipTheBackgroundAndFallBackToTheKeyCatcher)
{
    // Control 0 plays the background here.
    EXPECT_FALSE(rig.graphics.OnKeyDown(10, 10, KeyCode::Space));
    EXPECT_EQ(left.keys, 0);
    EXPECT_TRUE(rig.graphics.OnKeyDown(120, 10, KeyCode::Up));
    EXPECT_EQ(right.keys, 1);
    rig.graphics.SetKeyCatcher(2);
    EXPECT_TRUE(rig.graphics.OnKeyDown(80, 80, KeyCode::LetterA));
    EXPECT_EQ(top.keys, 1);
}

TEST_F(Panel, MarkAllControlsDirtyRedrawsTheWholeList)
{
    rig.graphics.MarkAllControlsDirty();
    EXPECT_EQ(rig.Tick(), (IRectangle{0, 0, 150, 60}));
    EXPECT_EQ(left.draws + right.draws + top.draws, 3);
}

TEST(GraphicsDrawing, BackgroundAndKnobFramesReachThePresentedFrame)
{
    EditorRig rig(60, 40);
    auto back = MakeStripImage(60, 40, 1, Red);
    auto knobImage = MakeStripImage(10, 10, 5, BlueFrames);
    auto& background = rig.Add<IBitmapControl>(0, 0, IControl::kNoParameter, StripOf(*back, 1),
                                               IBlend{IBlend::kClobber, 1.0f});
    auto& knob = rig.Add<IKnobMultiControl>(20, 10, EditorTestPlug::kLevel, StripOf(*knobImage, 5));
    rig.Attach(); // level 0.25: frame round(4 * 0.25) + 1 = 2
    rig.Tick();
    EXPECT_EQ(rig.platform.FramePixel(0, 0), 0xffff0000u);
    EXPECT_EQ(rig.platform.FramePixel(25, 15), 0xff000002u);
    EXPECT_EQ(rig.platform.FramePixel(30, 15), 0xffff0000u); // right of the knob
    rig.graphics.PushParamToControls(EditorTestPlug::kLevel, 1.0, true);
    EXPECT_EQ(rig.Tick(), knob.Rect());
    EXPECT_EQ(rig.platform.FramePixel(29, 19), 0xff000005u);
    EXPECT_FALSE(background.NeedsDraw());
}

TEST(GraphicsDrawing, BitmapsAreClippedToTheAreaBeingDrawn)
{
    EditorRig rig(60, 40);
    auto back = MakeStripImage(60, 40, 1, Red);
    auto knobImage = MakeStripImage(10, 10, 2, BlueFrames);
    rig.Add<IBitmapControl>(0, 0, IControl::kNoParameter, StripOf(*back, 1), IBlend{IBlend::kClobber, 1.0f});
    auto& knob = rig.Add<IKnobMultiControl>(20, 10, EditorTestPlug::kLevel, StripOf(*knobImage, 2));
    rig.Attach();
    rig.Tick();
    knob.SetValue(1.0);
    // Only the left half of the knob is drawn; the right half keeps frame 1.
    ASSERT_TRUE(rig.graphics.DrawDirty({0, 0, 25, 40}));
    EXPECT_EQ(rig.platform.FramePixel(24, 19), 0xff000002u);
    EXPECT_EQ(rig.platform.FramePixel(25, 10), 0xff000001u);
    EXPECT_EQ(rig.platform.FramePixel(20, 9), 0xffff0000u);
}

TEST(GraphicsDrawing, AnEmptyListDrawsNothingAndSucceeds)
{
    EditorRig rig;
    rig.Attach();
    IRectangle area;
    EXPECT_FALSE(rig.graphics.CollectDirty(area));
    EXPECT_TRUE(rig.graphics.DrawDirty({0, 0, 10, 10}));
}

TEST(GraphicsDrawing, MissingImagesGiveNoStripAndAnEmptyBackground)
{
    EditorRig rig;
    const IBitmapStrip strip = rig.graphics.LoadBitmap(987654, "resources/img/none.png", 65);
    EXPECT_EQ(strip.image, nullptr);
    EXPECT_EQ(strip.N, 65);
    rig.graphics.SetBackgroundImage(987654, "resources/img/none.png");
    ASSERT_EQ(rig.graphics.NControls(), 1);
    EXPECT_TRUE(rig.graphics.GetControl(0)->Rect().Empty());
    EXPECT_EQ(rig.graphics.GetControl(0)->ParamIndex(), IControl::kNoParameter);
}

TEST(GraphicsDrawing, BackgroundGoesToIndexZero)
{
    EditorRig rig;
    auto& probe = rig.Add<ProbeControl>(IRectangle{0, 0, 5, 5}, EditorTestPlug::kLevel);
    rig.graphics.SetBackgroundImage(987654, "none.png");
    EXPECT_EQ(rig.graphics.GetControl(1), &probe);
    EXPECT_EQ(rig.graphics.GetControl(0)->Blend().method, IBlend::kClobber);
}

TEST(ValueEntry, ListParametersChooseFromTheirDisplayTexts)
{
    EditorRig rig;
    auto& probe = rig.Add<ProbeControl>(IRectangle{10, 10, 30, 30}, EditorTestPlug::kWave);
    rig.Attach();
    // Disabled prompts open nothing.
    rig.graphics.OnMouseDown(15, 15, kRight);
    EXPECT_TRUE(rig.platform.Popups().empty());
    rig.graphics.OnMouseUp(15, 15, kRight);
    rig.plug.edits.clear();

    probe.SetPromptEnabled(true);
    rig.platform.QueuePopupChoice({3});
    rig.graphics.OnMouseDown(15, 15, kRight);
    ASSERT_EQ(rig.platform.Popups().size(), 1u);
    const HeadlessPlatform::ShownPopup& shown = rig.platform.Popups()[0];
    EXPECT_EQ(shown.texts, (std::vector<std::string>{"sine", "triangle", "saw", "square"}));
    EXPECT_EQ(shown.checked, 1);
    EXPECT_EQ(shown.area, probe.Rect()); // texts: the control's own rect
    EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorTestPlug::kWave)->Value(), 3.0);
    // The menu took the capture, but the edit that began still ends.
    EXPECT_EQ(rig.graphics.CaptureIndex(), IGraphics::kNone);
    rig.graphics.OnMouseUp(15, 15, kRight);
    EXPECT_EQ(rig.plug.edits,
              (std::vector<std::pair<char, int>>{
                  {'b', EditorTestPlug::kWave}, {'a', EditorTestPlug::kWave}, {'e', EditorTestPlug::kWave}}));
    // Closing the menu without a choice changes nothing.
    rig.graphics.OnMouseDown(15, 15, kRight);
    rig.graphics.OnMouseUp(15, 15, kRight);
    EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorTestPlug::kWave)->Value(), 3.0);
}

TEST(ValueEntry, NumberParametersOpenATextEntryCentredOnTheControl)
{
    EditorRig rig;
    auto& probe = rig.Add<ProbeControl>(IRectangle{100, 50, 140, 90}, EditorTestPlug::kLevel);
    auto& steps = rig.Add<ProbeControl>(IRectangle{0, 0, 20, 20}, EditorTestPlug::kSteps);
    probe.SetPromptEnabled(true);
    steps.SetPromptEnabled(true);
    rig.Attach();
    rig.platform.QueueText("62.5");
    rig.graphics.PromptParamValue(probe);
    ASSERT_EQ(rig.platform.TextEntries().size(), 1u);
    EXPECT_EQ(rig.platform.TextEntries()[0].rect, (IRectangle{100, 62, 140, 78}));
    EXPECT_EQ(rig.platform.TextEntries()[0].initialText, "25.00");
    EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorTestPlug::kLevel)->Value(), 62.5);
    EXPECT_DOUBLE_EQ(probe.Value(), 0.625);

    // Integers print without decimals; an unreadable entry changes nothing.
    rig.platform.QueueText("many");
    rig.graphics.PromptParamValue(steps);
    EXPECT_EQ(rig.platform.TextEntries()[1].initialText, "3");
    EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorTestPlug::kSteps)->Value(), 3.0);
    // Out of range is clamped; a caller's own rectangle is used as given.
    rig.platform.QueueText("-12.5");
    const IRectangle own{1, 2, 3, 4};
    rig.graphics.PromptParamValue(probe, &own);
    EXPECT_EQ(rig.platform.TextEntries()[2].rect, own);
    EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorTestPlug::kLevel)->Value(), 0.0);
}

TEST(ValueEntry, OnOffParametersLookTheTextUp)
{
    EditorRig rig;
    auto& probe = rig.Add<ProbeControl>(IRectangle{0, 0, 20, 20}, EditorTestPlug::kSwitch);
    probe.SetPromptEnabled(true);
    rig.Attach();
    rig.platform.QueuePopupChoice({1});
    rig.graphics.PromptParamValue(probe);
    EXPECT_TRUE(rig.plug.GetParam(EditorTestPlug::kSwitch)->BoolValue());
    EXPECT_EQ(rig.platform.Popups()[0].texts, (std::vector<std::string>{"off", "on"}));
}

TEST(GraphicsText, MeasuringPlacesTheTextAsDrawingAligns)
{
    EditorRig rig;
    ITextStyle style;
    style.size = 14;
    style.align = ITextStyle::kAlignNear;
    IRectangle left{10, 20, 110, 40};
    ASSERT_TRUE(rig.graphics.MeasureText(style, "Cutoff", left)); // no surfaces needed
    const int w = left.W();
    EXPECT_GT(w, 20);
    EXPECT_LT(w, 100);
    EXPECT_EQ(left.L, 10);
    EXPECT_EQ(left.T, 20);
    EXPECT_GT(left.H(), 8);
    ITextStyle centred = style;
    centred.align = ITextStyle::kAlignCenter;
    IRectangle middle{10, 20, 110, 40};
    ASSERT_TRUE(rig.graphics.MeasureText(centred, "Cutoff", middle));
    EXPECT_EQ(middle.W(), w);
    EXPECT_LE(std::abs((middle.L + middle.R) - 120), 1);
    ITextStyle far = style;
    far.align = ITextStyle::kAlignFar;
    IRectangle right{10, 20, 110, 40};
    ASSERT_TRUE(rig.graphics.MeasureText(far, "Cutoff", right));
    EXPECT_EQ(right.R, 110);
    EXPECT_EQ(right.L, 110 - w);
    // The font was made once and is kept in the style.
    EXPECT_NE(style.cachedFont, nullptr);
    EXPECT_EQ(style.cachedFont, far.cachedFont);
}

TEST(GraphicsText, TextControlsDrawInTheirColourAndFailWithoutAFont)
{
    EditorRig rig(120, 40);
    ITextStyle style;
    style.size = 16;
    style.color = {255, 255, 255, 255};
    auto& text = rig.Add<ITextControl>(IRectangle{0, 0, 120, 40}, style, "WWW");
    rig.Attach();
    std::fill_n(rig.graphics.Surface()->Bits(), 120 * 40, 0xff000000u);
    rig.Tick();
    int white = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            white += ((rig.platform.FramePixel(x, y) >> 16) & 0xff) > 0x80 ? 1 : 0;
    EXPECT_GT(white, 40);                                  // three wide glyphs
    EXPECT_EQ(rig.platform.FramePixel(2, 2), 0xff000000u); // outside the centred text

    ITextStyle broken;
    broken.size = 0;
    EXPECT_FALSE(rig.graphics.DrawIText(broken, "x", {0, 0, 10, 10}));
    EXPECT_TRUE(rig.graphics.DrawIText(broken, "", {0, 0, 10, 10}));
    text.ShowPluginText("");
    EXPECT_EQ(rig.Tick(), text.Rect());
}
