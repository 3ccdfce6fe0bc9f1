#include "instrument/ParameterTexts.h"

#include <string>

namespace zr
{

namespace ParamTexts
{
namespace
{
using namespace std::string_view_literals;

constexpr std::array kWaveforms = {"Triangle"sv, "Sawtooth"sv, "Square"sv, "Rect"sv, "Pulse"sv, "PWM"sv};
constexpr std::array kOctaves = {"16'"sv, "8'"sv, "4'"sv, "2'"sv};
constexpr std::array kPolarities = {"Positive"sv, "Negative"sv};
constexpr std::array kReleaseModes = {"Damp"sv, "Halp Damp"sv, "Release"sv};
constexpr std::array kMg1Waveforms = {"Triangle"sv, "Saw Dn"sv,      "Saw Up"sv,
                                      "Square"sv,   "White Noise"sv, "Pink Noise"sv};
constexpr std::array kKeyboardTriggers = {"Off"sv, "1"sv, "2"sv, "3"sv, "4"sv, "5"sv};
constexpr std::array kVp2Inputs = {"VP1 Input"sv, "VP2 Input"sv};

constexpr std::array<std::string_view, kNumCvSources> kCvSources = {
    "off"sv,  "+5V"sv,  "GE1-"sv, "GE2+"sv, "GE3+"sv, "MG1A"sv, "MG2A"sv, "MG1B"sv,
    "MG2B"sv, "MG1C"sv, "MG2C"sv, "S/H"sv,  "VP1"sv,  "VP2"sv,  "Key"sv,  "PB"sv,
    "PB+"sv,  "MW"sv,   "MW+"sv,  "LAG1"sv, "LAG2"sv, "ATN1"sv, "ATN2"sv, "ATN3"sv,
    "VC1"sv,  "VC2"sv,  "VC3"sv,  "VC4"sv,  "VC5"sv,  "VC6"sv,  "VC7"sv,  "VC8"sv};

constexpr std::array<std::string_view, kNumCvSources> MakeShInputs()
{
    auto inputs = kCvSources;
    inputs[kShRandomInput] = "Rnd"sv;
    return inputs;
}
constexpr std::array kShInputs = MakeShInputs();

constexpr std::array<std::string_view, kNumTriggerSources> kTriggerSources = {
    "off"sv,  "KBD"sv, "Sng"sv,  "Mlt"sv,  "MG1A"sv, "MG2A"sv, "MG1B"sv, "MG2B"sv, "MG1C"sv,
    "MG2C"sv, "S/H"sv, "Clk1"sv, "Clk2"sv, "Clk3"sv, "Clk4"sv, "Trg1"sv, "Trg2"sv};

constexpr std::array<std::string_view, kNumHostDivisions> kHostDivisions = {
    "off"sv,   "4/1"sv,  "2/1."sv, "2/1"sv,   "1/1."sv,  "1/1"sv,  "1/2."sv,
    "1/2"sv,   "1/4."sv, "1/2T"sv, "1/4"sv,   "1/8."sv,  "1/4T"sv, "1/8"sv,
    "1/16."sv, "1/8T"sv, "1/16"sv, "1/32."sv, "1/16T"sv, "1/32"sv, "1/64"sv};

// Names of the MIDI controllers 0 .. 119; the two "Effects ... Depth " entries end in a blank.
std::string ControllerName(int number)
{
    constexpr int kFirstLsb = 32;
    constexpr int kLastLsb = 63;
    if (number >= kFirstLsb && number <= kLastLsb)
    {
        return "LSB for Control " + std::to_string(number - kFirstLsb);
    }
    if (number >= 16 && number <= 19)
    {
        return "GP Controller " + std::to_string(number - 15);
    }
    if (number >= 70 && number <= 79)
    {
        return "Sound Controller " + std::to_string(number - 69);
    }
    if (number >= 80 && number <= 83)
    {
        return "GP Controller " + std::to_string(number - 75);
    }
    switch (number)
    {
    case 0:
        return "Bank Select";
    case 1:
        return "Modulation Wheel";
    case 2:
        return "Breath Controller";
    case 4:
        return "Foot Controller";
    case 5:
        return "Portamento Time";
    case 6:
        return "Data Entry MSB";
    case 7:
        return "Channel Volume";
    case 8:
        return "Balance";
    case 10:
        return "Pan";
    case 11:
        return "Expression Controller";
    case 12:
        return "Effect Control 1";
    case 13:
        return "Effect Control 2";
    case 64:
        return "Sustain Pedal On/Off";
    case 65:
        return "Portamento On/Off";
    case 66:
        return "Sostenuto On/Off";
    case 67:
        return "Soft Pedal On/Off";
    case 68:
        return "Legato Footswitch";
    case 69:
        return "Hold 2";
    case 84:
        return "Portamento Control";
    case 88:
        return "HiRes Velo Prefix";
    case 91:
        return "Effects 1 Depth ";
    case 92:
        return "Effects 2 Depth";
    case 93:
        return "Effects 3 Depth ";
    case 94:
        return "Effects 4 Depth";
    case 95:
        return "Effects 5 Depth";
    case 96:
        return "Data Increment";
    case 97:
        return "Data Decrement";
    case 98:
        return "NRPN - LSB";
    case 99:
        return "NRPN - MSB";
    case 100:
        return "RPN - LSB";
    case 101:
        return "RPN - MSB";
    default:
        return "Undefined";
    }
}

std::string ControllerText(int number)
{
    std::string digits = std::to_string(number);
    return std::string(3 - digits.size(), '0') + digits + "    " + ControllerName(number);
}

struct ControllerTexts
{
    std::array<std::string, kNumControllers> storage;
    std::array<std::string_view, kNumControllers> views;

    ControllerTexts()
    {
        for (int i = 0; i < kNumControllers; ++i)
        {
            storage[static_cast<size_t>(i)] = ControllerText(i);
            views[static_cast<size_t>(i)] = storage[static_cast<size_t>(i)];
        }
    }
};
} // namespace

std::span<const std::string_view> Waveforms()
{
    return kWaveforms;
}
std::span<const std::string_view> Octaves()
{
    return kOctaves;
}
std::span<const std::string_view> Polarities()
{
    return kPolarities;
}
std::span<const std::string_view> ReleaseModes()
{
    return kReleaseModes;
}
std::span<const std::string_view> Mg1Waveforms()
{
    return kMg1Waveforms;
}
std::span<const std::string_view> KeyboardTriggers()
{
    return kKeyboardTriggers;
}
std::span<const std::string_view> Vp2Inputs()
{
    return kVp2Inputs;
}
std::span<const std::string_view> CvSources()
{
    return kCvSources;
}
std::span<const std::string_view> ShInputs()
{
    return kShInputs;
}
std::span<const std::string_view> TriggerSources()
{
    return kTriggerSources;
}
std::span<const std::string_view> HostDivisions()
{
    return kHostDivisions;
}

std::span<const std::string_view> Controllers()
{
    // Built once, thread-safe, and never changed afterwards.
    static const ControllerTexts texts;
    return texts.views;
}
} // namespace ParamTexts

} // namespace zr
