// The panel of a whole instance, driven as a user drives it: mouse input through the graphics object,
// menus and text entries answered by the headless platform's script.
#include "../../plugin/FakeVstHost.h"

#include "PngPixels.h"
#include "editor/graphics/IGraphics.h"
#include "editor/graphics/ITextControl.h"
#include "editor/panel/IZRInfoBubble.h"
#include "editor/panel/IZRKnobMultiControl.h"
#include "editor/panel/IZRKnobMultiControlText.h"
#include "editor/panel/IZRPopUpMenuControl.h"
#include "editor/panel/IZRPresetMenu.h"
#include "editor/panel/IZRSwitchControl.h"
#include "editor/panel/IZRSwitchMidiLearn.h"
#include "editor/panel/PanelLayout.h"
#include "instrument/ParameterTable.h"
#include "modulation/GeneralEnvelope.h"
#include "platform/ModuleResources.h"
#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace zr;

namespace
{
using panel::ControlKind;
using panel::PanelControl;

constexpr IMouseState kLeft{true, false, false, false, false};
constexpr IMouseState kRight{false, true, false, false, false};

struct PanelOfInstance : ::testing::Test
{
    FakeVstHost host;
    VstInstance vi{host};
    ZR4400& plug = vi.Plug();
    IGraphics& graphics = plug.GetGraphics();
    HeadlessPlatform& platform = dynamic_cast<HeadlessPlatform&>(graphics.Platform());

    const PanelControl& Layout(int index) { return *panel::FindControlFor(index); }

    IControl& ControlOf(int index)
    {
        for (int i = 0; i < graphics.NControls(); ++i)
        {
            if (graphics.GetControl(i)->ParamIndex() == index) return *graphics.GetControl(i);
        }
        throw std::runtime_error("no control");
    }

    // A press and release in the middle of the control bound to index.
    void Click(int index, const IMouseState& mouse = kLeft)
    {
        const panel::PanelRect& r = Layout(index).rect;
        const int x = (r.L + r.R) / 2;
        const int y = (r.T + r.B) / 2;
        graphics.OnMouseDown(x, y, mouse);
        graphics.OnMouseUp(x, y, mouse);
    }

    void Hover(int index)
    {
        const panel::PanelRect& r = Layout(index).rect;
        graphics.OnMouseOver((r.L + r.R) / 2, (r.T + r.B) / 2, {});
    }

    // The parameter takes value and its controls show it, as after host automation.
    void SetValue(int index, double value)
    {
        const double normalized = plug.GetParam(index)->GetNormalized(value);
        plug.SetParamFromEditor(index, normalized);
        graphics.PushParamToControls(index, normalized, true);
    }

    std::array<std::string, 4> InfoLines()
    {
        auto& info = dynamic_cast<IZRInfoBubble&>(ControlOf(IZRInfoBubble::kPseudoIndex));
        return {info.Line(0).Text(), info.Line(1).Text(), info.Line(2).Text(), info.Line(3).Text()};
    }

    void DrawAll()
    {
        graphics.MarkAllControlsDirty();
        IRectangle area;
        if (graphics.CollectDirty(area)) graphics.DrawDirty(area);
    }
};

} // namespace

TEST_F(PanelOfInstance, EveryControlOfTheLayoutIsAttachedInOrderAtItsPlace)
{
    const auto layout = panel::PanelControls();
    ASSERT_EQ(graphics.NControls(), static_cast<int>(layout.size()));
    for (size_t i = 0; i < layout.size(); ++i)
    {
        const IControl& control = *graphics.GetControl(static_cast<int>(i));
        const panel::PanelRect& r = layout[i].rect;
        EXPECT_EQ(control.ParamIndex(), layout[i].param) << "control " << i;
        EXPECT_EQ(control.Rect(), (IRectangle{r.L, r.T, r.R, r.B})) << "control " << i;
        EXPECT_EQ(control.IsHidden(), layout[i].kind == ControlKind::Light) << "control " << i;
    }
    EXPECT_TRUE(graphics.HandlesMouseOver());
    EXPECT_EQ(graphics.GetControl(0)->Blend().method, IBlend::kClobber);
}

TEST_F(PanelOfInstance, ControlsCarryTheirKindsGearingAndCopyMenus)
{
    for (const PanelControl& c : panel::PanelControls())
    {
        if (c.param < 0) continue;
        IControl& control = ControlOf(c.param);
        if (auto* knob = dynamic_cast<IZRKnobMultiControl*>(&control))
        {
            EXPECT_EQ(knob->Gearing(), c.gearing) << c.param;
            EXPECT_EQ(knob->Strip().N, c.frames) << c.param;
            EXPECT_EQ(knob->CopyMenu() != nullptr, Param::IsBlockParam(c.param)) << c.param;
        }
        else if (auto* sw = dynamic_cast<IZRSwitchControl*>(&control))
        {
            EXPECT_EQ(sw->Strip().N, 2) << c.param;
            EXPECT_EQ(sw->CopyMenu() != nullptr, Param::IsBlockParam(c.param)) << c.param;
        }
        else if (auto* selector = dynamic_cast<IZRPopUpMenuControl*>(&control))
        {
            EXPECT_EQ(selector->Mode(), c.popupMode) << c.param;
            EXPECT_TRUE(selector->DoubleClickAsSingle());
            EXPECT_EQ(selector->TextRect().T, selector->Rect().T + 4);
        }
        else
        {
            EXPECT_NE(dynamic_cast<IZRKnobMultiControlText*>(&control), nullptr) << c.param;
        }
    }
}

TEST_F(PanelOfInstance, PreviousAndNextWrapAroundTheProgramList)
{
    plug.SelectPreset(0);
    Click(panel::PseudoIndex::kPreviousProgram);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 63);
    Click(panel::PseudoIndex::kNextProgram);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    Click(panel::PseudoIndex::kNextProgram);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
    // Released, the buttons show their up frame again and wrote no parameter.
    EXPECT_EQ(ControlOf(panel::PseudoIndex::kNextProgram).Value(), 0.0);
    auto& display = dynamic_cast<IZRPresetMenu&>(*graphics.GetControl(1));
    EXPECT_EQ(display.NumberText(), "01");
    EXPECT_EQ(display.NameText(), std::string(plug.GetPresetName(1)));
}

TEST_F(PanelOfInstance, LearnButtonSwapsItsModeOnlyWhileOff)
{
    auto& learn = dynamic_cast<IZRSwitchMidiLearn&>(ControlOf(panel::PseudoIndex::kMidiLearn));
    const IBitmapStrip learnImage = graphics.LoadBitmap(panel::kLearnImage, "learn.png", 2);
    const IBitmapStrip unlearnImage = graphics.LoadBitmap(panel::kUnlearnImage, "unlearn.png", 2);
    EXPECT_TRUE(learn.LearnMode());
    EXPECT_EQ(learn.ShownStrip().image, learnImage.image);
    Click(panel::PseudoIndex::kMidiLearn, kRight);
    EXPECT_FALSE(learn.LearnMode());
    EXPECT_EQ(learn.ShownStrip().image, unlearnImage.image);
    EXPECT_FALSE(plug.LearnArmed());

    Click(panel::PseudoIndex::kMidiLearn); // on, in unlearn mode
    EXPECT_EQ(learn.Value(), 1.0);
    EXPECT_TRUE(plug.LearnArmed());
    EXPECT_TRUE(plug.UnlearnMode());
    Click(panel::PseudoIndex::kMidiLearn, kRight); // ignored while on
    EXPECT_FALSE(learn.LearnMode());

    Click(panel::PseudoIndex::kMidiLearn); // off
    EXPECT_FALSE(plug.LearnArmed());
    Click(panel::PseudoIndex::kMidiLearn, kRight);
    EXPECT_TRUE(learn.LearnMode());
    Click(panel::PseudoIndex::kMidiLearn);
    EXPECT_TRUE(plug.LearnArmed());
    EXPECT_FALSE(plug.UnlearnMode());
    // A completed learn turns the button off.
    learn.SwitchOff();
    EXPECT_EQ(learn.Value(), 0.0);
}

// Hovering every patch-point selector with every value of its list: the four lines name the patch
// point, its input range, the source and what the source puts out.
TEST_F(PanelOfInstance, InformationPanelDescribesEveryPatchPointAndSource)
{
    int selectors = 0;
    for (const PanelControl& c : panel::PanelControls())
    {
        if (c.kind != ControlKind::Plug2 && c.kind != ControlKind::Plug3) continue;
        ++selectors;
        const IParameter* param = plug.GetParam(c.param);
        const int count = static_cast<int>(param->Max()) + 1;
        EXPECT_EQ(count, c.kind == ControlKind::Plug2 ? 32 : 17) << c.param;
        for (int v = 0; v < count; ++v)
        {
            SetValue(c.param, v);
            Hover(c.param);
            const auto lines = InfoLines();
            EXPECT_FALSE(lines[0].empty()) << c.param;
            EXPECT_FALSE(lines[2].empty()) << c.param << " value " << v;
            EXPECT_TRUE(lines[3].starts_with("Output: ")) << c.param << " value " << v;
            if (c.kind == ControlKind::Plug3)
            {
                EXPECT_EQ(lines[1], "Input: Trigger");
                continue;
            }
            const int position = Param::IsBlockParam(c.param) ? Param::PositionInBlock(c.param) : c.param;
            const bool unipolar =
                position == Param::kVcaFSrc || position == Param::kChGate || c.param == Param::kTvcaSrc;
            EXPECT_EQ(lines[1], unipolar ? "Input: 0 to 5 Volt" : "Input: -5 to 5 Volt") << c.param;
            const std::map<int, std::string> sources = {
                {0, "off"},
                {11, c.param == Param::kShIn ? "White Noise" : "Sample & Hold"},
                {31, "External Control Voltage 8"}};
            if (sources.contains(v))
            {
                EXPECT_EQ(lines[2], sources.at(v)) << c.param;
            }
            if (v == 3)
            {
                EXPECT_EQ(lines[3], "Output: -5 to 0 Volt");
            }
        }
    }
    // Per block 7 plugs of control voltages, 1 of triggers, 2 channel plugs; 11 global plugs.
    EXPECT_EQ(selectors, 3 * 10 + 11);
    SetValue(Param::kGegSrc1, 16);
    Hover(Param::kGegSrc1);
    EXPECT_EQ(InfoLines(), (std::array<std::string, 4>{"GEG Trigger 1", "Input: Trigger",
                                                       "External Trigger 2", "Output: Trigger"}));
}

TEST_F(PanelOfInstance, ExternalClocksAreInactiveWhileTheirSourceIsOff)
{
    const int trigger = Param::BlockParamIndex(1, Param::kEmRSrc);
    for (int clock : {0, 1})
    {
        const int clockParam = Param::kClk1Src + clock;
        SetValue(trigger, 11 + clock);
        SetValue(clockParam, 0);
        Hover(trigger);
        EXPECT_EQ(InfoLines()[3], "Output: inactive");
        SetValue(clockParam, 5);
        Hover(trigger);
        EXPECT_EQ(InfoLines()[2], clock == 0 ? "External Clock 1" : "External Clock 2");
        EXPECT_EQ(InfoLines()[3], "Output: Trigger");
    }
    SetValue(Param::kClk3Src, 0);
    SetValue(trigger, 13);
    Hover(trigger);
    EXPECT_EQ(InfoLines()[3], "Output: Trigger"); // clocks 3 and 4 are never reported inactive
}

TEST_F(PanelOfInstance, HoveringKnobsSwitchesAndHostButtonsLeavesTheInformation)
{
    SetValue(Param::kLag1Src, 5);
    Hover(Param::kLag1Src);
    const auto shown = InfoLines();
    EXPECT_EQ(shown[0], "LAG 1 Input");
    Hover(Param::BlockParamIndex(0, Param::kOverRel));
    Hover(Param::BlockParamIndex(2, Param::kCutoff));
    Hover(Param::BlockParamIndex(0, Param::kMg1Host));
    Hover(Param::kVc3Src);
    EXPECT_EQ(InfoLines(), shown);
}

TEST_F(PanelOfInstance, OffDrawsOnlyThePlugImage)
{
    const int index = Param::BlockParamIndex(0, Param::kFmSrc);
    const panel::PanelRect r = Layout(index).rect;
    const auto plugOff = panel::test::DecodePng(platform::FindResource("PNG", panel::kPlugOffImage));
    const auto plugOn = panel::test::DecodePng(platform::FindResource("PNG", panel::kPlugOnImage));
    ASSERT_TRUE(plugOff && plugOn);
    auto opaquePixelsMatch = [&](const panel::test::PngPixels& image)
    {
        int compared = 0;
        int equal = 0;
        for (int y = 0; y < image.height; ++y)
        {
            for (int x = 0; x < image.width; ++x)
            {
                const uint8_t* p = image.At(x, y);
                if (p[3] != 255) continue;
                ++compared;
                const uint32_t expected = 0xff000000u | p[0] << 16 | p[1] << 8 | p[2];
                equal += platform.FramePixel(r.L + x, r.T + y) == expected ? 1 : 0;
            }
        }
        return compared > 0 && equal == compared;
    };
    SetValue(index, 0);
    DrawAll();
    EXPECT_TRUE(opaquePixelsMatch(*plugOff));
    SetValue(index, 5); // "MG1A": the "on" image with the text over it
    DrawAll();
    EXPECT_FALSE(opaquePixelsMatch(*plugOff));
    EXPECT_FALSE(opaquePixelsMatch(*plugOn));
}

TEST_F(PanelOfInstance, NumberSelectorShowsTheNumberAndOffersTheNames)
{
    auto& number = dynamic_cast<IZRPopUpMenuControl&>(ControlOf(Param::kVc1Src));
    SetValue(Param::kVc1Src, 0);
    EXPECT_EQ(number.ShownText(), "0");
    platform.QueuePopupChoice({1, 4});
    Click(Param::kVc1Src);
    ASSERT_FALSE(platform.Popups().empty());
    EXPECT_EQ(platform.Popups().back().texts,
              (std::vector<std::string>{"000 - 029", "030 - 059", "060 - 089", "090 - 119"}));
    EXPECT_EQ(plug.GetParam(Param::kVc1Src)->Value(), 34.0);
    EXPECT_EQ(number.ShownText(), "34");
}

TEST_F(PanelOfInstance, SelectorMenusGroupTheirLists)
{
    const int fmSource = Param::BlockParamIndex(2, Param::kFmSrc);
    SetValue(fmSource, 1);
    platform.QueuePopupChoice({3, 2}); // "Extern", third entry: 16 "PB+"
    Click(fmSource);
    EXPECT_EQ(platform.Popups().back().texts,
              (std::vector<std::string>{"off", "+5V", "Intern", "Extern", "MIDI"}));
    EXPECT_EQ(platform.Popups().back().checked, 1);
    EXPECT_EQ(plug.GetParam(fmSource)->Value(), 16.0);

    platform.QueuePopupChoice({0});
    Click(Param::kGegSrc2);
    EXPECT_EQ(platform.Popups().back().texts, (std::vector<std::string>{"off", "Intern", "Extern"}));
    EXPECT_EQ(plug.GetParam(Param::kGegSrc2)->Value(), 0.0);

    platform.QueuePopupChoice({2, 9}); // "1/8. - 1/64" from 11: 20 "1/64"
    Click(Param::kShHost);
    EXPECT_EQ(platform.Popups().back().texts, (std::vector<std::string>{"off", "4/1 - 1/4", "1/8. - 1/64"}));
    EXPECT_EQ(plug.GetParam(Param::kShHost)->Value(), 20.0);

    // Closed without a choice: nothing changes, but the whole panel is redrawn.
    platform.QueuePopupChoice({});
    Click(Param::kShHost);
    EXPECT_EQ(plug.GetParam(Param::kShHost)->Value(), 20.0);
    EXPECT_TRUE(graphics.GetControl(0)->IsDirty());
}

TEST_F(PanelOfInstance, CopyMenuOfABlockKnobCopiesOnlyThatParameter)
{
    const int cutoffA = Param::BlockParamIndex(0, Param::kCutoff);
    const int cutoffC = Param::BlockParamIndex(2, Param::kCutoff);
    const int peakC = Param::BlockParamIndex(2, Param::kPeak);
    SetValue(cutoffA, plug.GetParam(cutoffA)->Max());
    const double peakBefore = plug.GetParam(peakC)->Value();
    platform.QueuePopupChoice({2});
    Click(cutoffA, kRight);
    EXPECT_EQ(platform.Popups().back().texts,
              (std::vector<std::string>{"Copy to Block A", "Copy to Block B", "Copy to Block C"}));
    EXPECT_EQ(plug.GetParam(cutoffC)->Value(), plug.GetParam(cutoffC)->Max());
    EXPECT_EQ(ControlOf(cutoffC).Value(), 1.0);
    EXPECT_EQ(plug.GetParam(peakC)->Value(), peakBefore);
    // A left click on a knob changes nothing.
    const double before = ControlOf(cutoffC).Value();
    Click(cutoffC);
    EXPECT_EQ(ControlOf(cutoffC).Value(), before);
}

TEST_F(PanelOfInstance, BigKnobTakesFourHeightsOfTravel)
{
    const int cutoff = Param::BlockParamIndex(1, Param::kCutoff);
    SetValue(cutoff, plug.GetParam(cutoff)->Min());
    const panel::PanelRect r = Layout(cutoff).rect;
    graphics.OnMouseDown(r.L + 20, r.T + 20, kLeft);
    graphics.OnMouseDrag(r.L + 20, r.T - 20, kLeft);
    graphics.OnMouseUp(r.L + 20, r.T - 20, kLeft);
    EXPECT_DOUBLE_EQ(ControlOf(cutoff).Value(), 0.25);
    const IMouseState fine{true, false, false, true, false};
    graphics.OnMouseDown(r.L + 20, r.T + 20, fine);
    graphics.OnMouseDrag(r.L + 20, r.T - 20, fine);
    graphics.OnMouseUp(r.L + 20, r.T - 20, fine);
    EXPECT_DOUBLE_EQ(ControlOf(cutoff).Value(), 0.275);
}

TEST_F(PanelOfInstance, ValueKnobOpensTheEntryOnItsTextAndTakesDragsOverItsWholeHeight)
{
    const int tune = Param::BlockParamIndex(0, Param::kTuneE);
    auto& knob = dynamic_cast<IZRKnobMultiControlText&>(ControlOf(tune));
    EXPECT_EQ(knob.TextRect(), (IRectangle{knob.Rect().L, 524, knob.Rect().R, 538}));
    graphics.OnMouseDown(knob.Rect().L + 12, 530, kLeft);
    graphics.OnMouseUp(knob.Rect().L + 12, 530, kLeft);
    ASSERT_EQ(platform.TextEntries().size(), 1u);
    EXPECT_EQ(platform.TextEntries().back().rect, knob.TextRect());
    // The 40-pixel control takes 160 pixels for the whole range.
    const double start = knob.Value();
    graphics.OnMouseDown(knob.Rect().L + 12, 505, kLeft);
    graphics.OnMouseDrag(knob.Rect().L + 12, 505 - 16, kLeft);
    graphics.OnMouseUp(knob.Rect().L + 12, 505 - 16, kLeft);
    EXPECT_NEAR(knob.Value() - start, 0.1, 1e-12);
    EXPECT_EQ(platform.TextEntries().size(), 1u);
}

TEST_F(PanelOfInstance, TriggerKickRaisesExternalTriggerOne)
{
    ExternalInputs::Trigger& trigger = plug.GetEngine().Inputs().GetTrigger(0);
    trigger.state = false;
    trigger.previous = true;
    Click(panel::PseudoIndex::kTriggerKick);
    EXPECT_TRUE(trigger.state);
    EXPECT_FALSE(trigger.previous);
    EXPECT_EQ(ControlOf(panel::PseudoIndex::kTriggerKick).Value(), 0.0);
}

TEST_F(PanelOfInstance, LightsFollowTheirStatesAndChangeOnlyOnAChange)
{
    ZRPanel& panel = plug.Panel();
    std::vector<IControl*> lights;
    for (int i = 0; i < graphics.NControls(); ++i)
    {
        if (panel::PanelControls()[static_cast<size_t>(i)].kind == ControlKind::Light)
            lights.push_back(graphics.GetControl(i));
    }
    ASSERT_EQ(lights.size(), 9u);
    plug.SetActive(false);
    EXPECT_TRUE(lights[0]->IsHidden()); // power
    plug.SetActive(true);
    EXPECT_FALSE(lights[0]->IsHidden());

    ZRPanel::LightStates states;
    states.mg1[1] = true;
    states.envelope = true;
    panel.ShowLights(states);
    DrawAll();
    for (IControl* light : lights)
        light->MarkClean();
    EXPECT_FALSE(lights[2]->IsHidden()); // envelope
    EXPECT_TRUE(lights[1]->IsHidden());  // sample and hold
    panel.ShowLights(states);            // unchanged: nothing to redraw
    for (IControl* light : lights)
        EXPECT_FALSE(light->IsDirty());
    states.envelope = false;
    panel.ShowLights(states);
    EXPECT_TRUE(lights[2]->IsHidden());
    EXPECT_TRUE(lights[2]->IsDirty());
}

TEST_F(PanelOfInstance, IdleShowsTheEnvelopeLightWhileItRunsAndOnlyWithTheWindowOpen)
{
    vi.Start();
    SetValue(Param::kKbdTrig, 1);
    SetValue(Param::kGegSrc1, 1); // the keyboard trigger starts the general envelope
    vi.SendMidi({{0x90, 60, 100}});
    std::vector<float> left(512);
    std::vector<float> right(512);
    float* outs[2] = {left.data(), right.data()};
    vi.effect->processReplacing(vi.effect, nullptr, outs, 512);
    ASSERT_NE(plug.GetEngine().GetModulation().Geg().CurrentState(), GeneralEnvelope::kIdle);
    IControl* envelopeLight = nullptr;
    for (int i = 0; i < graphics.NControls(); ++i)
    {
        if (panel::PanelControls()[static_cast<size_t>(i)].light == panel::LightRole::Envelope)
            envelopeLight = graphics.GetControl(i);
    }
    ASSERT_NE(envelopeLight, nullptr);
    plug.Idle();
    EXPECT_TRUE(envelopeLight->IsHidden()); // no window: the lights are left alone
    platform.OpenEditorWindow(nullptr);
    plug.Idle();
    EXPECT_FALSE(envelopeLight->IsHidden());
}
