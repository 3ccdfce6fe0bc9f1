#include "editor/panel/PanelLayout.h"

#include "instrument/ParameterTable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace zr::panel
{
namespace
{

constexpr int kNone = PseudoIndex::kNone;

int Index(int block, int j)
{
    return Param::BlockParamIndex(block, j);
}

// The attach order written out from the panel's description, as the parameter or pseudo-index of
// each control (-1 for the background, program display, version label, lights and info lines).
std::vector<int> ExpectedAttachOrder()
{
    std::vector<int> order = {kNone,
                              kNone,
                              PseudoIndex::kPreviousProgram,
                              PseudoIndex::kNextProgram,
                              PseudoIndex::kOptionMenu,
                              kNone,
                              PseudoIndex::kTriggerKick,
                              PseudoIndex::kMidiLearn,
                              kNone,
                              kNone,
                              kNone,
                              183,
                              184};
    for (int b = 0; b < 3; ++b)
    {
        order.insert(order.end(), {Index(b, 54), Index(b, 57), Index(b, 56), Index(b, 58)});
    }
    order.insert(order.end(), {187, 190, 188, 189, 191, 192, 193, 194, 195, 196, 197,
                               198, 200, 201, 202, 199, 203, 185, 204, 205, 206, 207});
    for (int i = 208; i <= 217; ++i)
    {
        order.push_back(i);
    }
    order.insert(order.end(), {186, 218});
    for (int b = 0; b < 3; ++b)
    {
        order.insert(order.end(), {Index(b, 59), Index(b, 60)});
    }
    for (int i = 219; i <= 228; ++i)
    {
        order.push_back(i);
    }
    order.insert(order.end(), {kNone, kNone, kNone, kNone, PseudoIndex::kInfoPanel});
    for (int b = 0; b < 3; ++b)
    {
        order.insert(order.end(), {-237 - b, -240 - b, kNone, kNone});
        for (int j = 0; j <= 16; ++j)
        {
            order.push_back(Index(b, j));
        }
        for (int j : {18, 17, 19, 20, 21, 22})
        {
            order.push_back(Index(b, j));
        }
        for (int j = 23; j <= 43; ++j)
        {
            order.push_back(Index(b, j));
        }
        for (int j : {53, 55, 44, 45, 46, 47, 50, 49, 48, 51, 52})
        {
            order.push_back(Index(b, j));
        }
    }
    return order;
}

TEST(PanelLayoutTest, ControlsAreAttachedInTheDescribedOrder)
{
    const std::vector<int> expected = ExpectedAttachOrder();
    const auto controls = PanelControls();
    ASSERT_EQ(controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(controls[i].param, expected[i]) << "control " << i;
    }
    EXPECT_EQ(controls.front().kind, ControlKind::Background);
    EXPECT_EQ(controls.front().rect, (PanelRect{0, 0, kPanelWidth, kPanelHeight}));
}

TEST(PanelLayoutTest, EveryParameterHasExactlyOneControl)
{
    for (int index = 0; index < Param::kNumParams; ++index)
    {
        EXPECT_EQ(CountControlsFor(index), 1) << "parameter " << index;
    }
    for (int pseudo : {PseudoIndex::kPreviousProgram, PseudoIndex::kNextProgram, PseudoIndex::kOptionMenu,
                       PseudoIndex::kMidiLearn, PseudoIndex::kTriggerKick, PseudoIndex::kInfoPanel, -237,
                       -238, -239, -240, -241, -242})
    {
        EXPECT_EQ(CountControlsFor(pseudo), 1) << "pseudo-index " << pseudo;
    }
    EXPECT_EQ(CountControlsFor(PseudoIndex::kCopyMenu), 0); // the copy menus are owned, not attached
}

// Image, frame count, size and gearing that each kind must have.
struct KindExpectation
{
    int image;
    int frames;
    int width;
    int height;
    double gearing;
};

const std::map<ControlKind, KindExpectation>& Expectations()
{
    static const std::map<ControlKind, KindExpectation> expectations = {
        {ControlKind::Knob, {104, 65, 32, 32, 4.0}},        {ControlKind::BigKnob, {105, 65, 40, 40, 4.0}},
        {ControlKind::Rotary6, {110, 6, 40, 40, 1.0}},      {ControlKind::Rotary4, {109, 4, 40, 40, 1.0}},
        {ControlKind::Lever3, {108, 3, 10, 26, -1.0}},      {ControlKind::Switch, {107, 2, 10, 20, 0.0}},
        {ControlKind::OrangeSwitch, {111, 2, 10, 20, 0.0}}, {ControlKind::SideSwitch, {112, 2, 20, 10, 0.0}},
        {ControlKind::Plug2, {102, 1, 30, 18, 0.0}},        {ControlKind::Plug3, {102, 1, 30, 18, 0.0}},
        {ControlKind::Button, {114, 1, 34, 18, 0.0}},       {ControlKind::Number, {114, 1, 34, 18, 0.0}},
        {ControlKind::ValueKnob, {106, 65, 24, 40, 4.0}},   {ControlKind::Light, {113, 1, 8, 8, 0.0}},
    };
    return expectations;
}

TEST(PanelLayoutTest, EveryParameterControlHasTheImageFramesSizeAndGearingOfItsKind)
{
    for (int index = 0; index < Param::kNumParams; ++index)
    {
        const PanelControl* control = FindControlFor(index);
        ASSERT_NE(control, nullptr);
        const auto found = Expectations().find(control->kind);
        ASSERT_NE(found, Expectations().end()) << "parameter " << index;
        const KindExpectation& e = found->second;
        EXPECT_EQ(control->image, e.image) << "parameter " << index;
        EXPECT_EQ(control->frames, e.frames) << "parameter " << index;
        EXPECT_EQ(control->gearing, e.gearing) << "parameter " << index;
        if (index != Param::kPbRange) // the pitch-bend range knob has a wider rectangle of its own
        {
            EXPECT_EQ(control->rect.W(), e.width) << "parameter " << index;
            EXPECT_EQ(control->rect.H(), e.height) << "parameter " << index;
        }
    }
}

TEST(PanelLayoutTest, SelectorsUseTheirGroupingModesAndImages)
{
    const std::map<ControlKind, std::pair<int, int>> modesAndOnImages = {
        {ControlKind::Plug2, {2, 103}},
        {ControlKind::Plug3, {3, 103}},
        {ControlKind::Button, {4, 115}},
        {ControlKind::Number, {1, 114}},
    };
    int selectors = 0;
    for (const PanelControl& control : PanelControls())
    {
        const auto found = modesAndOnImages.find(control.kind);
        if (found == modesAndOnImages.end())
        {
            EXPECT_EQ(control.popupMode, 0);
            continue;
        }
        ++selectors;
        EXPECT_EQ(control.popupMode, found->second.first);
        EXPECT_EQ(TraitsOf(control.kind).onImage, found->second.second);
    }
    // Per block 10 plugs and 2 host buttons; globals 11 plugs, 5 buttons, 10 numbers.
    EXPECT_EQ(selectors, 3 * 12 + 26);
    const PanelColor number = TraitsOf(ControlKind::Number).textColor;
    EXPECT_EQ(number.A, 160);
    EXPECT_EQ(number.R, 255);
    const PanelColor plug = TraitsOf(ControlKind::Plug2).textColor;
    EXPECT_EQ(plug.A, 255);
    EXPECT_EQ(plug.R + plug.G + plug.B, 0);
}

// Places from the panel description, one or more per table of it, including the far corners of the
// repeated rows and columns.
TEST(PanelLayoutTest, ControlsSitAtTheirDescribedPlaces)
{
    struct Place
    {
        int index;
        int x;
        int y;
    };
    const Place places[] = {
        {Index(0, 0), 23, 498},
        {Index(0, 11), 309, 498},
        {Index(2, 11), 1037, 498},
        {Index(0, 12), 47, 76},
        {Index(1, 23), 495, 76},
        {Index(2, 23), 859, 76},
        {Index(0, 34), 195, 260},
        {Index(2, 42), 1081, 272},
        {Index(1, 55), 690, 80},
        {Index(2, 52), 1055, 417},
        {Index(0, 49), 248, 441},
        {Index(0, 54), 1250, 66},
        {Index(2, 54), 1250, 210},
        {Index(2, 57), 1202, 213},
        {Index(1, 56), 1131, 174},
        {Index(2, 58), 1192, 246},
        {Index(0, 59), 612, 600},
        {Index(2, 59), 868, 600},
        {Index(2, 60), 940, 584},
        {Param::kFinal, 1394, 134},
        {Param::kTvcaSrc, 1331, 174},
        {Param::kKbdTrig, 1394, 212},
        {Param::kShSync, 1148, 466},
        {Param::kVp2Sel, 1288, 450},
        {Param::kClk1Src, 1412, 285},
        {Param::kClk4Src, 1412, 333},
        {Param::kTrg2Src, 1412, 365},
        {Param::kVc1Src, 1412, 405},
        {Param::kVc8Src, 1412, 517},
        {Param::kUseHold, 492, 600},
        {Param::kAtn3Src, 1225, 621},
        {PseudoIndex::kPreviousProgram, 28, 581},
        {PseudoIndex::kNextProgram, 79, 581},
        {PseudoIndex::kTriggerKick, 490, 568},
        {PseudoIndex::kMidiLearn, 359, 580},
    };
    for (const Place& place : places)
    {
        const PanelControl* control = FindControlFor(place.index);
        ASSERT_NE(control, nullptr) << place.index;
        EXPECT_EQ(control->rect.L, place.x) << "index " << place.index;
        EXPECT_EQ(control->rect.T, place.y) << "index " << place.index;
    }
    EXPECT_EQ(FindControlFor(PseudoIndex::kOptionMenu)->rect, (PanelRect{304, 581, 352, 601}));
    EXPECT_EQ(FindControlFor(PseudoIndex::kInfoPanel)->rect, (PanelRect{1296, 576, 1456, 660}));
    EXPECT_EQ(FindControlFor(-238)->rect, (PanelRect{694, 24, 714, 36}));
    EXPECT_EQ(FindControlFor(-242)->rect, (PanelRect{1073, 503, 1093, 518}));
}

TEST(PanelLayoutTest, BlockStripsRepeatAt364PixelsAndBindTheirBlocksParameters)
{
    for (int j = 0; j < Param::kNumBlockParams; ++j)
    {
        const PanelControl* a = FindControlFor(Index(0, j));
        for (int b = 1; b < 3; ++b)
        {
            const PanelControl* other = FindControlFor(Index(b, j));
            EXPECT_EQ(other->kind, a->kind) << "j " << j;
            EXPECT_EQ(other->block, b);
            const int dx = other->rect.L - a->rect.L;
            const int dy = other->rect.T - a->rect.T;
            if (j == Param::kVolume || j == Param::kChEnable || j == Param::kVcaFSrc || j == Param::kChGate)
            {
                EXPECT_EQ(dx, 0) << "j " << j;
                EXPECT_EQ(dy, 72 * b) << "j " << j;
            }
            else if (j == Param::kOverRel || j == Param::kEmORel)
            {
                EXPECT_EQ(dx, 128 * b) << "j " << j;
                EXPECT_EQ(dy, 0) << "j " << j;
            }
            else
            {
                EXPECT_EQ(dx, 364 * b) << "j " << j;
                EXPECT_EQ(dy, 0) << "j " << j;
            }
        }
    }
}

TEST(PanelLayoutTest, ValueKnobsSplitTheirRectIntoFrameAndText)
{
    const PanelControl* tune = FindControlFor(Index(1, Param::kTuneA));
    EXPECT_EQ(tune->rect.T, 498);
    EXPECT_EQ(tune->rect.B, 538);
    EXPECT_EQ(ValueKnobImageRect(*tune), (PanelRect{tune->rect.L, 498, tune->rect.L + 24, 522}));
    EXPECT_EQ(ValueKnobTextRect(*tune), (PanelRect{tune->rect.L, 524, tune->rect.L + 24, 538}));
    const PanelControl* bend = FindControlFor(Param::kPbRange);
    EXPECT_EQ(bend->rect, (PanelRect{436, 588, 468, 636}));
    EXPECT_EQ(ValueKnobImageRect(*bend), (PanelRect{436, 588, 460, 612}));
    EXPECT_EQ(ValueKnobTextRect(*bend), (PanelRect{436, 614, 460, 628}));
}

TEST(PanelLayoutTest, EveryControlOfABlockParameterHasTheCopyMenu)
{
    int withMenu = 0;
    for (const PanelControl& control : PanelControls())
    {
        EXPECT_EQ(control.copyMenu, Param::IsBlockParam(control.param)) << "parameter " << control.param;
        withMenu += control.copyMenu ? 1 : 0;
    }
    // Knobs, switches, tune knobs and selectors alike: all 61 parameters of each block.
    EXPECT_EQ(withMenu, 3 * 61);
}

TEST(PanelLayoutTest, EveryControlLiesInsideThePanel)
{
    const PanelRect panel{0, 0, kPanelWidth, kPanelHeight};
    for (const PanelControl& control : PanelControls())
    {
        EXPECT_FALSE(control.rect.Empty()) << "parameter " << control.param;
        EXPECT_TRUE(control.rect.Inside(panel)) << "parameter " << control.param;
    }
}

TEST(PanelLayoutTest, LightsKnowWhatTheyShow)
{
    std::map<LightRole, int> roles;
    for (const PanelControl& control : PanelControls())
    {
        if (control.kind == ControlKind::Light)
        {
            ++roles[control.light];
            EXPECT_EQ(control.block == kNoBlock,
                      control.light != LightRole::Mg1 && control.light != LightRole::Mg2);
        }
    }
    EXPECT_EQ(roles[LightRole::Power], 1);
    EXPECT_EQ(roles[LightRole::SampleHold], 1);
    EXPECT_EQ(roles[LightRole::Envelope], 1);
    EXPECT_EQ(roles[LightRole::Mg1], 3);
    EXPECT_EQ(roles[LightRole::Mg2], 3);
    EXPECT_EQ(roles[LightRole::None], 0);
    EXPECT_EQ(FindControlFor(Index(0, 0))->light, LightRole::None);
}

TEST(PanelLayoutTest, SectionsAndTextsLieInsideThePanel)
{
    const PanelRect panel{0, 0, kPanelWidth, kPanelHeight};
    for (const PanelSection& section : PanelSections())
    {
        EXPECT_TRUE(section.rect.Inside(panel)) << section.title;
        EXPECT_FALSE(section.rect.Empty()) << section.title;
    }
    for (const PanelText& text : PanelTexts())
    {
        EXPECT_TRUE(text.x > 0 && text.x < kPanelWidth && text.y > 0 && text.y < kPanelHeight) << text.text;
        EXPECT_GE(text.size, 9) << text.text;
    }
}

// Every control of a block strip sits inside its block's plate, and every section field of a strip
// inside the plate too, so labels printed in one block never reach the next.
TEST(PanelLayoutTest, BlockStripControlsStayInsideTheirPlates)
{
    std::vector<PanelRect> plates;
    for (const PanelSection& section : PanelSections())
    {
        if (section.strong && section.title.starts_with("BLOCK"))
        {
            plates.push_back(section.rect);
        }
    }
    ASSERT_EQ(plates.size(), 3u);
    for (const PanelControl& control : PanelControls())
    {
        // The channel column (right of x 1100) and the bottom row (below y 550) are not in the strips.
        const bool stripControl = control.block != kNoBlock && control.rect.B <= 550 && control.rect.R < 1100;
        if (stripControl)
        {
            EXPECT_TRUE(control.rect.Inside(plates[control.block])) << "parameter " << control.param;
        }
    }
}

} // namespace
} // namespace zr::panel
