#include "plugin/IPlugVST.h"

#include "plugin/HostText.h"

#include <cmath>
#include <string>

namespace zr
{

std::intptr_t IPlugVST::String2Parameter(std::int32_t index, const char* text)
{
    IParameter* param = GetParam(index);
    if (!param)
    {
        return 0;
    }
    if (!text)
    {
        return 1;
    }
    return SetParamFromText(*param, index, HostText(text));
}

std::intptr_t IPlugVST::SetParamFromText(IParameter& param, int index, std::string_view text)
{
    double value = 0.0;
    if (param.DisplayTexts().empty())
    {
        value = ParseDecimal(text);
    }
    else if (!param.MapDisplayText(text, &value))
    {
        return 0;
    }
    // A text that reads as NaN keeps the current value.
    ChangeParamValue(index, std::isnan(value) ? param.Value() : value, ParamSource::Host);
    return 1;
}

std::intptr_t IPlugVST::CanDo(const char* text) const
{
    if (!text)
    {
        return 0;
    }
    const std::string_view question = HostText(text);
    if (question == "receiveVstTimeInfo")
    {
        return 1;
    }
    if (DoesMidi() && (question == "sendVstEvents" || question == "sendVstMidiEvent" ||
                       question == "receiveVstEvents" || question == "receiveVstMidiEvent"))
    {
        return 1;
    }
    if (question == "hasCockosExtensions" || question == "hasCockosViewAsConfig")
    {
        return kCockosAnswer;
    }
    return 0;
}

std::intptr_t IPlugVST::VendorSpecific(std::int32_t index, std::intptr_t value, void* ptr, float opt)
{
    const IParameter* param = GetParam(ToIndex(value));
    if (index == kVendorSpecificDisplay && ptr)
    {
        if (param)
        {
            const double x = std::isnan(opt) ? 0.0 : static_cast<double>(opt);
            CopyText(ptr, param->GetDisplay(x, true, true), kParamTextSize);
        }
        return kVendorSpecificAnswer;
    }
    if (index == kVendorSpecificIsStepped && param && param->GetType() != IParameter::Type::Double)
    {
        return kVendorSpecificAnswer;
    }
    return 0;
}

std::intptr_t IPlugVST::GetMidiKeyName(vst::MidiKeyName* key)
{
    if (!key)
    {
        return 0;
    }
    key->keyName[0] = '\0';
    std::string name;
    if (!GetNoteName(key->thisKeyNumber, name))
    {
        return 0;
    }
    CopyText(key->keyName, name, sizeof(key->keyName));
    return 1;
}

} // namespace zr
