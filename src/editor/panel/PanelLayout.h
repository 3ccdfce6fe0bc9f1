#pragma once

#include <span>
#include <string_view>

// The instrument's panel as data: every image, every control with its place, image, gearing,
// parameter and attach order, and the section frames and texts printed on the background. The
// panel code builds its controls from these tables and tools/panelgen draws the images from them,
// so a label on the background always sits at its control. Pure data: no window, no drawing.
namespace zr::panel
{

inline constexpr int kPanelWidth = 1480;
inline constexpr int kPanelHeight = 660;

// Left and top inside, right and bottom outside.
struct PanelRect
{
    int L = 0;
    int T = 0;
    int R = 0;
    int B = 0;

    constexpr int W() const { return R - L; }
    constexpr int H() const { return B - T; }
    constexpr bool Empty() const { return R <= L || B <= T; }
    constexpr bool Intersects(const PanelRect& o) const
    {
        return !Empty() && !o.Empty() && L < o.R && o.L < R && T < o.B && o.T < B;
    }
    constexpr bool Inside(const PanelRect& o) const { return L >= o.L && T >= o.T && R <= o.R && B <= o.B; }
    constexpr bool operator==(const PanelRect&) const = default;
};

// Module resource ids (type "PNG") of the panel images.
enum ImageId : int
{
    kNoImage = 0,
    kBackImage = 101,
    kPlugOffImage,
    kPlugOnImage,
    kKnobImage,
    kKnobBigImage,
    kKnobSmallImage,
    kSwitch2Image,
    kSwitch3Image,
    kSwitch4Image,
    kSwitch6Image,
    kSwitch2OrangeImage,
    kSwitch2HorizImage,
    kLedImage,
    kButtonOffImage,
    kButtonOnImage,
    kPrevImage,
    kNextImage,
    kLearnImage,
    kUnlearnImage,
    kKickImage, // 120
};
inline constexpr int kFirstImageId = kBackImage;
inline constexpr int kLastImageId = kKickImage;

// One image: a vertical strip of `frames` frames, each frameWidth × frameHeight.
struct PanelImage
{
    int id;
    std::string_view name;
    int frameWidth;
    int frameHeight;
    int frames;

    constexpr int Width() const { return frameWidth; }
    constexpr int Height() const { return frameHeight * frames; }
};

// All 20 images in id order.
std::span<const PanelImage> PanelImages();
// The image of that id, or nullptr.
const PanelImage* FindPanelImage(int id);

// Parameter indexes of the controls that are not parameters: they never write a parameter and never
// send edit notifications.
namespace PseudoIndex
{
inline constexpr int kNone = -1;
inline constexpr int kPreviousProgram = -232;
inline constexpr int kNextProgram = -233;
inline constexpr int kOptionMenu = -234;
inline constexpr int kMidiLearn = -235;
inline constexpr int kTriggerKick = -236;
constexpr int UtilMenu(int block)
{
    return -237 - block;
}
constexpr int MicroTuningMenu(int block)
{
    return -240 - block;
}
inline constexpr int kCopyMenu = -243;
inline constexpr int kInfoPanel = -244;
} // namespace PseudoIndex

// What a control is; each kind has one control class.
enum class ControlKind
{
    Background,     // IBitmapControl, the whole panel
    ProgramDisplay, // IZRPresetMenu: program number and name
    UtilityKick,    // IZRUtilityKick: previous / next program, trigger kick
    OptionMenu,     // IZROptionMenu click area
    VersionLabel,   // ITextControl
    MidiLearn,      // IZRSwitchMidiLearn
    Light,          // IBitmapControl with the indicator light, hidden at start
    InfoLine,       // ITextControl, one line of the information panel
    InfoPanel,      // IZRInfoBubble
    UtilMenu,       // IZRUtilMenu click area of a block
    MicroTuningMenu,
    Knob,         // IZRKnobMultiControl, 32 px
    BigKnob,      // IZRKnobMultiControl, 40 px
    Rotary6,      // IZRKnobMultiControl, six-position selector
    Rotary4,      // IZRKnobMultiControl, four-position selector
    Lever3,       // IZRKnobMultiControl, three-position lever
    Switch,       // IZRSwitchControl
    OrangeSwitch, // IZRSwitchControl
    SideSwitch,   // IZRSwitchControl lying sideways
    Plug2,        // IZRPopUpMenuControl, control-voltage sources
    Plug3,        // IZRPopUpMenuControl, trigger sources
    Button,       // IZRPopUpMenuControl, host tempo divisions
    Number,       // IZRPopUpMenuControl, MIDI controller numbers
    ValueKnob,    // IZRKnobMultiControlText
};

// What the indicator lights show.
enum class LightRole
{
    None,
    Power,
    SampleHold,
    Envelope,
    Mg1, // of the control's block
    Mg2,
};

// Where the background prints a control's label.
enum class LabelSide
{
    None,
    Above,
    Below,
    Left,
    Right,
    Inside, // click areas without an image: the label is their face
};

// An ARGB colour as four 0..255 integers.
struct PanelColor
{
    int A;
    int R;
    int G;
    int B;
};

// Per-kind constants.
struct KindTraits
{
    int image;      // "off" image of the selectors
    int onImage;    // the selectors' "on" image; kNoImage for the others
    double gearing; // knobs, rotaries and the lever; 0 for the rest
    int popupMode;  // grouping mode of the selectors, 0 for the rest
    PanelColor textColor;
};
KindTraits TraitsOf(ControlKind kind);

inline constexpr int kNoBlock = -1;

struct PanelControl
{
    ControlKind kind;
    int param;      // parameter index 0..228, or a PseudoIndex
    int block;      // block 0..2 of a block parameter or of a block's menus and lights; kNoBlock
    PanelRect rect; // control rect (for the value knobs including their text)
    int image;      // kNoImage for controls drawn without an image
    int frames;
    double gearing;
    int popupMode;
    bool copyMenu; // right click opens the copy-to-block menu
    LightRole light;
    std::string_view label;
    LabelSide labelSide;
    std::span<const std::string_view> legends; // position names printed around rotaries and levers
};

// Every control in attach order (drawing and hit order, later on top); entry 0 is the background.
std::span<const PanelControl> PanelControls();

// The controls bound to parameter `index` (a real index or a pseudo-index).
int CountControlsFor(int index);
const PanelControl* FindControlFor(int index);

// Where a value knob's frame and value text lie inside its control rect.
PanelRect ValueKnobImageRect(const PanelControl& control);
PanelRect ValueKnobTextRect(const PanelControl& control);

// The program display's two fields.
inline constexpr PanelRect kProgramNumberRect{54, 584, 78, 604};
inline constexpr PanelRect kProgramNameRect{105, 584, 297, 604};
inline constexpr std::string_view kVersionText = "v.1.2.5.N";

// A framed section of the background with its title.
struct PanelSection
{
    PanelRect rect;
    std::string_view title;
    bool strong; // a block strip or a main area: heavier frame and title bar
};
std::span<const PanelSection> PanelSections();

// Free texts printed on the background (row letters, group captions).
struct PanelText
{
    int x; // horizontal centre
    int y; // baseline
    std::string_view text;
    int size; // font height in pixels
};
std::span<const PanelText> PanelTexts();

} // namespace zr::panel
