#include "editor/panel/PatchPointInfo.h"

#include "instrument/ParameterTable.h"
#include "instrument/ParameterTexts.h"

namespace zr
{
namespace
{
using namespace std::string_view_literals;

enum class InputKind
{
    Bipolar,
    Unipolar,
    SampleHold,
    Trigger,
};

struct PatchPoint
{
    int position; // index for globals, index mod 61 for block parameters
    std::string_view title;
    InputKind kind;
};

constexpr std::array<PatchPoint, 21> kPatchPoints = {{
    {Param::kFmSrc, "SG Frequency"sv, InputKind::Bipolar},
    {Param::kPwmSrc, "SG Pulse Width"sv, InputKind::Bipolar},
    {Param::kFcSrc, "LP Frequency"sv, InputKind::Bipolar},
    {Param::kEmASrc, "EM Attack Time"sv, InputKind::Bipolar},
    {Param::kEmRSrc, "EM Release Trigger"sv, InputKind::Trigger},
    {Param::kRfcSrc, "Resonator Peak Frequencies"sv, InputKind::Bipolar},
    {Param::kMg1FSrc, "MG1 Frequency"sv, InputKind::Bipolar},
    {Param::kMg1MSrc, "MG1 Amplitude"sv, InputKind::Bipolar},
    {Param::kVcaFSrc, "Channel VCA Modulation Source"sv, InputKind::Unipolar},
    {Param::kChGate, "Channel Gate Source"sv, InputKind::Unipolar},
    {Param::kTvcaSrc, "Total VCA Modulation Source"sv, InputKind::Unipolar},
    {Param::kShIn, "Sample & Hold Input"sv, InputKind::SampleHold},
    {Param::kGegSrc1, "GEG Trigger 1"sv, InputKind::Trigger},
    {Param::kGegSrc2, "GEG Trigger 2"sv, InputKind::Trigger},
    {Param::kVp1Src, "VP1 Input"sv, InputKind::Bipolar},
    {Param::kVp2Src, "VP2 Input"sv, InputKind::Bipolar},
    {Param::kLag1Src, "LAG 1 Input"sv, InputKind::Bipolar},
    {Param::kLag2Src, "LAG 2 Input"sv, InputKind::Bipolar},
    {Param::kAtn1Src, "Attenuator 1 Input"sv, InputKind::Bipolar},
    {Param::kAtn2Src, "Attenuator 2 Input"sv, InputKind::Bipolar},
    {Param::kAtn3Src, "Attenuator 3 Input"sv, InputKind::Bipolar},
}};

constexpr std::array<std::string_view, ParamTexts::kNumCvSources> kSourceNames = {
    "off"sv,
    "Constant Voltage"sv,
    "General Envelope (negative)"sv,
    "General Envelope (positive)"sv,
    "General Envelope (positive)"sv,
    "Modulation Generator 1 A"sv,
    "Modulation Generator 2 A"sv,
    "Modulation Generator 1 B"sv,
    "Modulation Generator 2 B"sv,
    "Modulation Generator 1 C"sv,
    "Modulation Generator 2 C"sv,
    "Sample & Hold"sv,
    "Voltage Processor 1"sv,
    "Voltage Processor 2"sv,
    "Last Pressed Key"sv,
    "Pitch Bend"sv,
    "Pitch Bend (positive)"sv,
    "Modulation Wheel"sv,
    "Modulation Wheel (positive)"sv,
    "LAG 1"sv,
    "LAG 2"sv,
    "Attenuator 1"sv,
    "Attenuator 2"sv,
    "Attenuator 3"sv,
    "External Control Voltage 1"sv,
    "External Control Voltage 2"sv,
    "External Control Voltage 3"sv,
    "External Control Voltage 4"sv,
    "External Control Voltage 5"sv,
    "External Control Voltage 6"sv,
    "External Control Voltage 7"sv,
    "External Control Voltage 8"sv,
};

constexpr std::string_view kZero = "Output: 0 Volt"sv;
constexpr std::string_view kFive = "Output: 5 Volt"sv;
constexpr std::string_view kUni = "Output: 0 to 5 Volt"sv;
constexpr std::string_view kNeg = "Output: -5 to 0 Volt"sv;
constexpr std::string_view kBi = "Output: -5 to 5 Volt"sv;

constexpr std::array<std::string_view, ParamTexts::kNumCvSources> kOutputRanges = {
    kZero, kFive, kUni, kNeg, kUni, kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi,
    kUni,  kBi,   kUni, kBi,  kBi,  kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi, kBi};

constexpr std::array<std::string_view, ParamTexts::kNumTriggerSources> kTriggerNames = {
    "off"sv,
    "Keyboard Trigger"sv,
    "Keyboard Single Trigger"sv,
    "Keyboard Multiple Trigger"sv,
    "Modulation Generator 1 A Clock"sv,
    "Modulation Generator 2 A Clock"sv,
    "Modulation Generator 1 B Clock"sv,
    "Modulation Generator 2 B Clock"sv,
    "Modulation Generator 1 C Clock"sv,
    "Modulation Generator 2 C Clock"sv,
    "Sample & Hold Clock"sv,
    "External Clock 1"sv,
    "External Clock 2"sv,
    "External Clock 3"sv,
    "External Clock 4"sv,
    "External Trigger 1"sv,
    "External Trigger 2"sv,
};

// Trigger sources of the external clocks whose output depends on their clock source.
constexpr int kExternalClock1 = 11;
constexpr int kExternalClock2 = 12;

const PatchPoint* FindPatchPoint(int index)
{
    const int position = Param::IsBlockParam(index) ? Param::PositionInBlock(index) : index;
    for (const PatchPoint& point : kPatchPoints)
    {
        if (point.position == position) return &point;
    }
    return nullptr;
}

PatchPointLines TriggerLines(std::string_view title, int value, const std::array<bool, 2>& clockActive)
{
    if (value < 0 || value >= ParamTexts::kNumTriggerSources) return {};
    std::string_view output = "Output: Trigger"sv;
    if ((value == kExternalClock1 && !clockActive[0]) || (value == kExternalClock2 && !clockActive[1]))
    {
        output = "Output: inactive"sv;
    }
    return {{title, "Input: Trigger"sv, kTriggerNames[value], output}, true};
}

PatchPointLines SourceLines(const PatchPoint& point, int value)
{
    if (value < 0 || value >= ParamTexts::kNumCvSources) return {};
    const std::string_view input =
        point.kind == InputKind::Unipolar ? "Input: 0 to 5 Volt"sv : "Input: -5 to 5 Volt"sv;
    std::string_view source = kSourceNames[value];
    if (point.kind == InputKind::SampleHold && value == ParamTexts::kShRandomInput) source = "White Noise"sv;
    return {{point.title, input, source, kOutputRanges[value]}, true};
}

} // namespace

PatchPointLines PatchPointInfo(int index, int value, const std::array<bool, 2>& clockActive)
{
    const PatchPoint* point = FindPatchPoint(index);
    if (!point) return {};
    if (point->kind == InputKind::Trigger) return TriggerLines(point->title, value, clockActive);
    return SourceLines(*point, value);
}

} // namespace zr
