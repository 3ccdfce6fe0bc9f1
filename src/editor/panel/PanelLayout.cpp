#include "editor/panel/PanelLayout.h"

#include "instrument/ParameterTable.h"

#include <array>

namespace zr::panel
{
namespace
{
using namespace std::string_view_literals;

constexpr std::array<PanelImage, 20> kImages = {{
    {kBackImage, "resources/img/back.png"sv, kPanelWidth, kPanelHeight, 1},
    {kPlugOffImage, "resources/img/plug_off.png"sv, 30, 18, 1},
    {kPlugOnImage, "resources/img/plug_on.png"sv, 30, 18, 1},
    {kKnobImage, "resources/img/knob.png"sv, 32, 32, 65},
    {kKnobBigImage, "resources/img/knob_big.png"sv, 40, 40, 65},
    {kKnobSmallImage, "resources/img/knob_small.png"sv, 24, 24, 65},
    {kSwitch2Image, "resources/img/switch2.png"sv, 10, 20, 2},
    {kSwitch3Image, "resources/img/switch3.png"sv, 10, 26, 3},
    {kSwitch4Image, "resources/img/switch4.png"sv, 40, 40, 4},
    {kSwitch6Image, "resources/img/switch6.png"sv, 40, 40, 6},
    {kSwitch2OrangeImage, "resources/img/switch2orange.png"sv, 10, 20, 2},
    {kSwitch2HorizImage, "resources/img/switch2horiz.png"sv, 20, 10, 2},
    {kLedImage, "resources/img/led.png"sv, 8, 8, 1},
    {kButtonOffImage, "resources/img/button_off.png"sv, 34, 18, 1},
    {kButtonOnImage, "resources/img/button_on.png"sv, 34, 18, 1},
    {kPrevImage, "resources/img/prev.png"sv, 22, 22, 2},
    {kNextImage, "resources/img/next.png"sv, 22, 22, 2},
    {kLearnImage, "resources/img/learn.png"sv, 50, 22, 2},
    {kUnlearnImage, "resources/img/unlearn.png"sv, 50, 22, 2},
    {kKickImage, "resources/img/kick.png"sv, 16, 16, 2},
}};

constexpr const PanelImage* ImageOf(int id)
{
    for (const PanelImage& image : kImages)
    {
        if (image.id == id)
        {
            return &image;
        }
    }
    return nullptr;
}

constexpr PanelColor kBlack{255, 0, 0, 0};
constexpr PanelColor kNumberText{160, 255, 255, 255};
constexpr PanelColor kLabelText{128, 255, 255, 255};
constexpr PanelColor kValueText{64, 255, 160, 0};

constexpr KindTraits Traits(ControlKind kind)
{
    switch (kind)
    {
    case ControlKind::Background:
        return {kBackImage, kNoImage, 0.0, 0, kBlack};
    case ControlKind::UtilityKick:
        return {kKickImage, kNoImage, 0.0, 0, kBlack};
    case ControlKind::MidiLearn:
        return {kLearnImage, kNoImage, 0.0, 0, kBlack};
    case ControlKind::Light:
        return {kLedImage, kNoImage, 0.0, 0, kBlack};
    case ControlKind::VersionLabel:
    case ControlKind::InfoLine:
        return {kNoImage, kNoImage, 0.0, 0, kLabelText};
    case ControlKind::Knob:
        return {kKnobImage, kNoImage, 4.0, 0, kBlack};
    case ControlKind::BigKnob:
        return {kKnobBigImage, kNoImage, 4.0, 0, kBlack};
    case ControlKind::Rotary6:
        return {kSwitch6Image, kNoImage, 1.0, 0, kBlack};
    case ControlKind::Rotary4:
        return {kSwitch4Image, kNoImage, 1.0, 0, kBlack};
    case ControlKind::Lever3:
        return {kSwitch3Image, kNoImage, -1.0, 0, kBlack};
    case ControlKind::Switch:
        return {kSwitch2Image, kNoImage, 0.0, 0, kBlack};
    case ControlKind::OrangeSwitch:
        return {kSwitch2OrangeImage, kNoImage, 0.0, 0, kBlack};
    case ControlKind::SideSwitch:
        return {kSwitch2HorizImage, kNoImage, 0.0, 0, kBlack};
    case ControlKind::Plug2:
        return {kPlugOffImage, kPlugOnImage, 0.0, 2, kBlack};
    case ControlKind::Plug3:
        return {kPlugOffImage, kPlugOnImage, 0.0, 3, kBlack};
    case ControlKind::Button:
        return {kButtonOffImage, kButtonOnImage, 0.0, 4, kBlack};
    case ControlKind::Number:
        return {kButtonOffImage, kButtonOffImage, 0.0, 1, kNumberText};
    case ControlKind::ValueKnob:
        return {kKnobSmallImage, kNoImage, 4.0, 0, kValueText};
    case ControlKind::ProgramDisplay:
    case ControlKind::OptionMenu:
    case ControlKind::InfoPanel:
    case ControlKind::UtilMenu:
    case ControlKind::MicroTuningMenu:
        break;
    }
    return {kNoImage, kNoImage, 0.0, 0, kBlack};
}

// The value knobs print their value in the 16 pixels below the frame.
constexpr int kValueTextHeight = 16;

constexpr int FramesOf(int image)
{
    const PanelImage* found = ImageOf(image);
    return found ? found->frames : 0;
}

// A control drawn from its kind's image, placed at (x, y).
constexpr PanelControl Place(ControlKind kind, int param, int block, int x, int y, std::string_view label,
                             LabelSide side, std::span<const std::string_view> legends = {})
{
    const KindTraits traits = Traits(kind);
    const PanelImage* image = ImageOf(traits.image);
    PanelRect rect{x, y, x, y};
    if (image)
    {
        rect.R = x + image->frameWidth;
        rect.B = y + image->frameHeight;
    }
    if (kind == ControlKind::ValueKnob)
    {
        rect.B += kValueTextHeight;
    }
    // Every control of a block parameter offers the copy-to-block menu, the tune knobs and the patch
    // point selectors too: a musician expects to carry any setting of a block to another one.
    const bool blockParam = Param::IsBlockParam(param);
    return {kind,
            param,
            block,
            rect,
            traits.image,
            FramesOf(traits.image),
            traits.gearing,
            traits.popupMode,
            blockParam,
            LightRole::None,
            label,
            side,
            legends};
}

// A control over a given rectangle.
constexpr PanelControl Area(ControlKind kind, int param, int block, PanelRect rect, std::string_view label,
                            LabelSide side)
{
    const KindTraits traits = Traits(kind);
    return {kind,  param, block, rect, traits.image, FramesOf(traits.image), 0.0, 0, false, LightRole::None,
            label, side,  {}};
}

constexpr PanelControl Light(LightRole role, int block, int x, int y, std::string_view label, LabelSide side)
{
    PanelControl light = Place(ControlKind::Light, PseudoIndex::kNone, block, x, y, label, side);
    light.light = role;
    return light;
}

constexpr PanelControl Kick(int pseudoIndex, int image, int x, int y, std::string_view label, LabelSide side)
{
    PanelControl kick = Place(ControlKind::UtilityKick, pseudoIndex, kNoBlock, x, y, label, side);
    const PanelImage* strip = ImageOf(image);
    kick.image = image;
    kick.frames = strip->frames;
    kick.rect = {x, y, x + strip->frameWidth, y + strip->frameHeight};
    return kick;
}

constexpr std::array kWaveLegends = {"TRI"sv, "SAW"sv, "SQR"sv, "RCT"sv, "PLS"sv, "PWM"sv};
constexpr std::array kOctaveLegends = {"16'"sv, "8'"sv, "4'"sv, "2'"sv};
constexpr std::array kMg1WaveLegends = {"TRI"sv, "SW-"sv, "SW+"sv, "SQR"sv, "WN"sv, "PN"sv};
constexpr std::array kKbdTrigLegends = {"OFF"sv, "1"sv, "2"sv, "3"sv, "4"sv, "5"sv};
constexpr std::array kReleaseLegends = {"D"sv, "H"sv, "R"sv};

// A control of a block strip: parameter position j, place relative to the block's origin.
struct StripRow
{
    int j;
    ControlKind kind;
    int x;
    int y;
    std::string_view label;
    LabelSide side;
    std::span<const std::string_view> legends;
};

constexpr int kTuneY = 498;
constexpr int kTuneX0 = -327;
constexpr int kTuneStep = 26;
constexpr std::array<std::string_view, 12> kNoteNames = {"C"sv,  "C#"sv, "D"sv,  "D#"sv, "E"sv,  "F"sv,
                                                         "F#"sv, "G"sv,  "G#"sv, "A"sv,  "A#"sv, "B"sv};

using K = ControlKind;
using S = LabelSide;

// Strip controls after the twelve tune knobs, in attach order.
constexpr std::array<StripRow, 43> kStripRows = {{
    {Param::kWaveform, K::Rotary6, -303, 76, "WAVE"sv, S::Below, kWaveLegends},
    {Param::kPwmInt, K::Knob, -299, 144, "PW"sv, S::Above, {}},
    {Param::kFine, K::Knob, -323, 200, "FINE"sv, S::Above, {}},
    {Param::kCoarse, K::Knob, -275, 200, "COARSE"sv, S::Above, {}},
    {Param::kOctave, K::Rotary4, -303, 252, "OCT"sv, S::Below, kOctaveLegends},
    {Param::kFmRev, K::OrangeSwitch, -327, 294, "REV"sv, S::Right, {}},
    {Param::kFmMod, K::OrangeSwitch, -251, 294, "MOD"sv, S::Left, {}},
    {Param::kFmMg1, K::Knob, -299, 336, "FM MG1"sv, S::Above, {}},
    {Param::kFmGeg, K::Knob, -299, 384, "FM GEG"sv, S::Above, {}},
    {Param::kFmSrc, K::Plug2, -314, 441, "FM"sv, S::Below, {}},
    {Param::kPwmSrc, K::Plug2, -280, 441, "PWM"sv, S::Below, {}},
    {Param::kCutoff, K::BigKnob, -219, 76, "CUTOFF"sv, S::Below, {}},
    {Param::kPeak, K::Knob, -215, 144, "PEAK"sv, S::Above, {}},
    {Param::kFcBal, K::Knob, -215, 200, "fC BAL"sv, S::Above, {}},
    {Param::kExpand, K::Knob, -215, 256, "EXPAND"sv, S::Above, {}},
    {Param::kFcMod, K::OrangeSwitch, -183, 294, "MOD"sv, S::Left, {}},
    {Param::kFcMg1, K::Knob, -215, 336, "fC MG1"sv, S::Above, {}},
    {Param::kFcGeg, K::Knob, -215, 384, "fC GEG"sv, S::Above, {}},
    {Param::kFcSrc, K::Plug2, -214, 441, "fC"sv, S::Below, {}},
    {Param::kEmAtk, K::BigKnob, -155, 76, "ATTACK"sv, S::Below, {}},
    {Param::kEmDcy, K::Knob, -151, 144, "DECAY"sv, S::Above, {}},
    {Param::kEmSus, K::Knob, -151, 200, "SUSTAIN"sv, S::Above, {}},
    {Param::kEmRel, K::Lever3, -155, 260, "REL"sv, S::Below, kReleaseLegends},
    {Param::kEmHold, K::Switch, -123, 264, "HOLD"sv, S::Below, {}},
    {Param::kEmASrc, K::Plug2, -165, 441, "ATK"sv, S::Below, {}},
    {Param::kEmRSrc, K::Plug3, -135, 441, "REL"sv, S::Below, {}},
    {Param::kRsInt, K::Knob, -87, 160, "INT"sv, S::Above, {}},
    {Param::kRsFreq1, K::Knob, -23, 136, "F1"sv, S::Left, {}},
    {Param::kRsFreq2, K::Knob, -23, 184, "F2"sv, S::Left, {}},
    {Param::kRsFreq3, K::Knob, -23, 232, "F3"sv, S::Left, {}},
    {Param::kRsMod, K::Switch, 3, 272, "MOD"sv, S::Left, {}},
    {Param::kRfcSrc, K::Plug2, -23, 441, "RES"sv, S::Below, {}},
    {Param::kKbdBal, K::BigKnob, -91, 76, "KBD BAL"sv, S::Below, {}},
    {Param::kPan, K::Knob, -24, 80, "PAN"sv, S::Below, {}},
    {Param::kAmInt, K::Knob, -87, 256, "AM"sv, S::Above, {}},
    {Param::kAmMod, K::OrangeSwitch, -55, 294, "MOD"sv, S::Left, {}},
    {Param::kMg1Wave, K::Rotary6, -123, 332, "WAVE"sv, S::Below, kMg1WaveLegends},
    {Param::kMg1Freq, K::Knob, -87, 384, "RATE"sv, S::Above, {}},
    {Param::kMg1Host, K::Button, -87, 417, "HOST"sv, S::Left, {}},
    {Param::kMg1MSrc, K::Plug2, -102, 441, "AMP"sv, S::Below, {}},
    {Param::kMg1FSrc, K::Plug2, -72, 441, "RATE"sv, S::Below, {}},
    {Param::kMg2Freq, K::Knob, -23, 384, "RATE"sv, S::Above, {}},
    {Param::kMg2Host, K::Button, -23, 417, ""sv, S::None, {}},
}};

constexpr int BlockOrigin(int block)
{
    constexpr int kFirstOrigin = 350;
    constexpr int kStripPitch = 364;
    return kFirstOrigin + kStripPitch * block;
}

constexpr std::array<std::string_view, 3> kBlockLetters = {"A"sv, "B"sv, "C"sv};

constexpr int kChannelRowPitch = 72;
constexpr int kBottomPairPitch = 128;

constexpr int kNumControls = 257;

class Builder
{
public:
    constexpr void Add(const PanelControl& control) { controls_[count_++] = control; }
    constexpr int Count() const { return count_; }
    constexpr const std::array<PanelControl, kNumControls>& Controls() const { return controls_; }

private:
    std::array<PanelControl, kNumControls> controls_{};
    int count_ = 0;
};

constexpr void AddFrameControls(Builder& out)
{
    out.Add(
        Area(K::Background, PseudoIndex::kNone, kNoBlock, {0, 0, kPanelWidth, kPanelHeight}, ""sv, S::None));
    out.Add(Area(K::ProgramDisplay, PseudoIndex::kNone, kNoBlock,
                 {kProgramNumberRect.L, kProgramNumberRect.T, kProgramNameRect.R, kProgramNameRect.B},
                 "PROGRAM"sv, S::Above));
    out.Add(Kick(PseudoIndex::kPreviousProgram, kPrevImage, 28, 581, ""sv, S::None));
    out.Add(Kick(PseudoIndex::kNextProgram, kNextImage, 79, 581, ""sv, S::None));
    out.Add(
        Area(K::OptionMenu, PseudoIndex::kOptionMenu, kNoBlock, {304, 581, 352, 601}, "MENU"sv, S::Inside));
    out.Add(Area(K::VersionLabel, PseudoIndex::kNone, kNoBlock, {364, 628, 472, 642}, ""sv, S::None));
    out.Add(Kick(PseudoIndex::kTriggerKick, kKickImage, 490, 568, "KICK"sv, S::Right));
    out.Add(Place(K::MidiLearn, PseudoIndex::kMidiLearn, kNoBlock, 359, 580, "MIDI"sv, S::Above));
    out.Add(Light(LightRole::Power, kNoBlock, 1406, 68, "POWER"sv, S::Right));
    out.Add(Light(LightRole::SampleHold, kNoBlock, 1134, 348, "CLK"sv, S::Right));
    out.Add(Light(LightRole::Envelope, kNoBlock, 1178, 468, ""sv, S::None));
}

constexpr void AddGlobalControls(Builder& out)
{
    out.Add(Place(K::BigKnob, Param::kFinal, kNoBlock, 1394, 134, "FINAL"sv, S::Below));
    out.Add(Place(K::Plug2, Param::kTvcaSrc, kNoBlock, 1331, 174, "TOTAL VCA"sv, S::Above));
    for (int b = 0; b < Param::kNumBlocks; ++b)
    {
        const int dy = kChannelRowPitch * b;
        out.Add(
            Place(K::Knob, Param::BlockParamIndex(b, Param::kVolume), b, 1250, 66 + dy, "VOL"sv, S::Below));
        out.Add(Place(K::OrangeSwitch, Param::BlockParamIndex(b, Param::kChEnable), b, 1202, 69 + dy, "ON"sv,
                      S::Left));
        out.Add(Place(K::Plug2, Param::BlockParamIndex(b, Param::kVcaFSrc), b, 1131, 102 + dy, "VCA"sv,
                      S::Above));
        out.Add(Place(K::Plug2, Param::BlockParamIndex(b, Param::kChGate), b, 1192, 102 + dy, "GATE"sv,
                      S::Above));
    }
    out.Add(Place(K::Knob, Param::kShFreq, kNoBlock, 1122, 384, "RATE"sv, S::Above));
    out.Add(Place(K::Button, Param::kShHost, kNoBlock, 1121, 417, ""sv, S::None));
    out.Add(Place(K::Switch, Param::kShSync, kNoBlock, 1148, 466, "SYNC"sv, S::Left));
    out.Add(Place(K::Plug2, Param::kShIn, kNoBlock, 1123, 489, "IN"sv, S::Below));
    out.Add(Place(K::Knob, Param::kGegDly, kNoBlock, 1186, 336, "DELAY"sv, S::Above));
    out.Add(Place(K::Knob, Param::kGegAtk, kNoBlock, 1186, 384, "ATTACK"sv, S::Above));
    out.Add(Place(K::Knob, Param::kGegRel, kNoBlock, 1186, 432, "REL"sv, S::Above));
    out.Add(Place(K::Switch, Param::kGegAuto, kNoBlock, 1212, 466, "AUTO"sv, S::Left));
    out.Add(Place(K::Plug3, Param::kGegSrc1, kNoBlock, 1172, 489, "TRG 1"sv, S::Below));
    out.Add(Place(K::Plug3, Param::kGegSrc2, kNoBlock, 1202, 489, "TRG 2"sv, S::Below));
    out.Add(Place(K::Knob, Param::kVp1A, kNoBlock, 1250, 336, "A"sv, S::Above));
    out.Add(Place(K::Knob, Param::kVp1B, kNoBlock, 1250, 384, "B"sv, S::Above));
    out.Add(Place(K::Knob, Param::kVp2A, kNoBlock, 1314, 336, "A"sv, S::Above));
    out.Add(Place(K::Knob, Param::kVp2B, kNoBlock, 1314, 384, "B"sv, S::Above));
    out.Add(Place(K::SideSwitch, Param::kVp2Sel, kNoBlock, 1288, 450, "IN 1/2"sv, S::Above));
    out.Add(Place(K::Plug2, Param::kVp1Src, kNoBlock, 1250, 489, "IN"sv, S::Below));
    out.Add(Place(K::Plug2, Param::kVp2Src, kNoBlock, 1314, 489, "IN"sv, S::Below));
    out.Add(Place(K::Rotary6, Param::kKbdTrig, kNoBlock, 1394, 212, ""sv, S::None, kKbdTrigLegends));
    constexpr std::array kClockLabels = {"CLK 1"sv, "CLK 2"sv, "CLK 3"sv, "CLK 4"sv};
    for (int k = 0; k < 4; ++k)
    {
        out.Add(
            Place(K::Button, Param::kClk1Src + k, kNoBlock, 1412, 285 + 16 * k, kClockLabels[k], S::Left));
    }
    out.Add(Place(K::Number, Param::kTrg1Src, kNoBlock, 1412, 349, "TRG 1"sv, S::Left));
    out.Add(Place(K::Number, Param::kTrg2Src, kNoBlock, 1412, 365, "TRG 2"sv, S::Left));
    constexpr std::array kCvLabels = {"CV 1"sv, "CV 2"sv, "CV 3"sv, "CV 4"sv,
                                      "CV 5"sv, "CV 6"sv, "CV 7"sv, "CV 8"sv};
    for (int k = 0; k < 8; ++k)
    {
        out.Add(Place(K::Number, Param::kVc1Src + k, kNoBlock, 1412, 405 + 16 * k, kCvLabels[k], S::Left));
    }
    PanelControl pbRange = Place(K::ValueKnob, Param::kPbRange, kNoBlock, 436, 588, "PB RANGE"sv, S::Above);
    pbRange.rect = {436, 588, 468, 620 + kValueTextHeight};
    out.Add(pbRange);
    out.Add(Place(K::Switch, Param::kUseHold, kNoBlock, 492, 600, "HOLD"sv, S::Right));
    for (int b = 0; b < Param::kNumBlocks; ++b)
    {
        const int dx = kBottomPairPitch * b;
        out.Add(
            Place(K::Switch, Param::BlockParamIndex(b, Param::kOverRel), b, 612 + dx, 600, "ON"sv, S::Above));
        out.Add(
            Place(K::Knob, Param::BlockParamIndex(b, Param::kEmORel), b, 684 + dx, 584, "TIME"sv, S::Above));
    }
    out.Add(Place(K::Knob, Param::kLag1, kNoBlock, 1004, 584, "LAG 1"sv, S::Above));
    out.Add(Place(K::Plug2, Param::kLag1Src, kNoBlock, 1005, 621, ""sv, S::None));
    out.Add(Place(K::Knob, Param::kLag2, kNoBlock, 1056, 584, "LAG 2"sv, S::Above));
    out.Add(Place(K::Plug2, Param::kLag2Src, kNoBlock, 1057, 621, ""sv, S::None));
    out.Add(Place(K::Knob, Param::kAtn1, kNoBlock, 1120, 584, "ATN 1"sv, S::Above));
    out.Add(Place(K::Plug2, Param::kAtn1Src, kNoBlock, 1121, 621, ""sv, S::None));
    out.Add(Place(K::Knob, Param::kAtn2, kNoBlock, 1172, 584, "ATN 2"sv, S::Above));
    out.Add(Place(K::Plug2, Param::kAtn2Src, kNoBlock, 1173, 621, ""sv, S::None));
    out.Add(Place(K::Knob, Param::kAtn3, kNoBlock, 1224, 584, "ATN 3"sv, S::Above));
    out.Add(Place(K::Plug2, Param::kAtn3Src, kNoBlock, 1225, 621, ""sv, S::None));
}

constexpr int kInfoLeft = 1296;
constexpr int kInfoRight = 1456;
constexpr int kInfoLineHeight = 12;
constexpr std::array kInfoLineTops = {577, 588, 617, 628};

constexpr void AddInfoPanel(Builder& out)
{
    for (int top : kInfoLineTops)
    {
        out.Add(Area(K::InfoLine, PseudoIndex::kNone, kNoBlock,
                     {kInfoLeft, top, kInfoRight, top + kInfoLineHeight}, ""sv, S::None));
    }
    out.Add(Area(K::InfoPanel, PseudoIndex::kInfoPanel, kNoBlock, {kInfoLeft, 576, kInfoRight, kPanelHeight},
                 ""sv, S::None));
}

constexpr void AddBlockStrip(Builder& out, int b)
{
    const int x0 = BlockOrigin(b);
    out.Add(Area(K::UtilMenu, PseudoIndex::UtilMenu(b), b, {x0 - 20, 24, x0, 36}, "MENU"sv, S::Left));
    out.Add(Area(K::MicroTuningMenu, PseudoIndex::MicroTuningMenu(b), b, {x0 - 5, 503, x0 + 15, 518},
                 "SCALE"sv, S::Above));
    out.Add(Light(LightRole::Mg1, b, x0 - 119, 396, ""sv, S::None));
    out.Add(Light(LightRole::Mg2, b, x0 - 11, 348, ""sv, S::None));
    for (int j = 0; j < 12; ++j)
    {
        out.Add(Place(K::ValueKnob, Param::BlockParamIndex(b, j), b, x0 + kTuneX0 + kTuneStep * j, kTuneY,
                      kNoteNames[j], S::Above));
    }
    for (const StripRow& row : kStripRows)
    {
        out.Add(Place(row.kind, Param::BlockParamIndex(b, row.j), b, x0 + row.x, row.y, row.label, row.side,
                      row.legends));
    }
}

constexpr Builder BuildControls()
{
    Builder out;
    AddFrameControls(out);
    AddGlobalControls(out);
    AddInfoPanel(out);
    for (int b = 0; b < Param::kNumBlocks; ++b)
    {
        AddBlockStrip(out, b);
    }
    return out;
}

constexpr Builder kBuilt = BuildControls();
static_assert(kBuilt.Count() == kNumControls);
constexpr const std::array<PanelControl, kNumControls>& kControls = kBuilt.Controls();

// Section frames of one block strip, relative to its origin.
struct StripSection
{
    int l;
    int t;
    int r;
    int b;
    std::string_view title;
};
constexpr std::array<StripSection, 9> kStripSections = {{
    {-334, 44, -238, 437, "SIGNAL GEN"sv},
    {-234, 44, -170, 437, "FILTER"sv},
    {-166, 44, -102, 318, "ENVELOPE"sv},
    {-98, 44, 17, 130, "BALANCE / PAN"sv},
    {-98, 134, 17, 318, "RESONATOR / AM"sv},
    {-166, 322, -44, 437, "MG 1"sv},
    {-40, 322, 17, 437, "MG 2"sv},
    {-334, 439, 17, 478, ""sv},
    {-334, 482, 17, 546, "MASTER TUNING"sv},
}};

constexpr std::array<PanelSection, 4> kGlobalSections = {{
    {{1104, 44, 1290, 274}, "CHANNELS"sv, false},
    {{1296, 44, 1458, 200}, "OUTPUT"sv, false},
    {{1296, 204, 1458, 264}, "KBD TRIGGER"sv, false},
    {{1354, 270, 1458, 542}, "EXTERNAL"sv, false},
}};

constexpr int kNumSections = 3 * 10 + 1 + 4 + 4 + 2;

constexpr std::array<PanelSection, kNumSections> BuildSections()
{
    std::array<PanelSection, kNumSections> sections{};
    int n = 0;
    constexpr std::array kBlockTitles = {"BLOCK A"sv, "BLOCK B"sv, "BLOCK C"sv};
    for (int b = 0; b < Param::kNumBlocks; ++b)
    {
        const int x0 = BlockOrigin(b);
        sections[n++] = {{x0 - 338, 18, x0 + 21, 550}, kBlockTitles[b], true};
        for (const StripSection& s : kStripSections)
        {
            sections[n++] = {{x0 + s.l, s.t, x0 + s.r, s.b}, s.title, false};
        }
    }
    sections[n++] = {{1100, 18, 1462, 550}, "GLOBAL"sv, true};
    for (int k = 0; k < 4; ++k)
    {
        sections[n++] = kGlobalSections[k];
    }
    sections[n++] = {{1104, 322, 1166, 542}, "S/H"sv, false};
    sections[n++] = {{1166, 322, 1240, 542}, "GEG"sv, false};
    sections[n++] = {{1240, 322, 1286, 542}, "VP 1"sv, false};
    sections[n++] = {{1286, 322, 1350, 542}, "VP 2"sv, false};
    sections[n++] = {{18, 556, 1288, 654}, ""sv, true};
    sections[n++] = {{1292, 556, 1462, 654}, "INFO"sv, true};
    return sections;
}
constexpr std::array<PanelSection, kNumSections> kSections = BuildSections();

constexpr std::array<PanelText, 12> kTexts = {{
    {1406, 399, "MIDI CONTROLLERS"sv, 9},
    {1118, 80, "A"sv, 12},
    {1118, 152, "B"sv, 12},
    {1118, 224, "C"sv, 12},
    {1346, 100, "ZR-4400"sv, 22},
    {1346, 116, "SYNTHESIZER"sv, 9},
    {190, 636, "ZARNOW AUDIO"sv, 12},
    {664, 568, "OVER-RELEASE A"sv, 10},
    {792, 568, "OVER-RELEASE B"sv, 10},
    {920, 568, "OVER-RELEASE C"sv, 10},
    {1046, 568, "LAGS"sv, 10},
    {1188, 568, "ATTENUATORS"sv, 10},
}};

} // namespace

std::span<const PanelImage> PanelImages()
{
    return kImages;
}

const PanelImage* FindPanelImage(int id)
{
    return ImageOf(id);
}

KindTraits TraitsOf(ControlKind kind)
{
    return Traits(kind);
}

std::span<const PanelControl> PanelControls()
{
    return kControls;
}

int CountControlsFor(int index)
{
    int count = 0;
    for (const PanelControl& control : kControls)
    {
        count += control.param == index ? 1 : 0;
    }
    return count;
}

const PanelControl* FindControlFor(int index)
{
    for (const PanelControl& control : kControls)
    {
        if (control.param == index)
        {
            return &control;
        }
    }
    return nullptr;
}

PanelRect ValueKnobImageRect(const PanelControl& control)
{
    const PanelImage* image = ImageOf(control.image);
    const int w = image ? image->frameWidth : 0;
    const int h = image ? image->frameHeight : 0;
    return {control.rect.L, control.rect.T, control.rect.L + w, control.rect.T + h};
}

PanelRect ValueKnobTextRect(const PanelControl& control)
{
    constexpr int kGap = 2;
    const PanelRect image = ValueKnobImageRect(control);
    return {image.L, image.B + kGap, image.R, image.B + kValueTextHeight};
}

std::span<const PanelSection> PanelSections()
{
    return kSections;
}

std::span<const PanelText> PanelTexts()
{
    return kTexts;
}

} // namespace zr::panel
