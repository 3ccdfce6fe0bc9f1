#include "editor/graphics/TextEntry.h"

#include "editor/graphics/IControl.h"
#include "plugin/IParameter.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace zr
{

namespace
{
// The number at the start of text; false when there is none or it is not finite.
bool ReadNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && std::isfinite(value);
}
} // namespace

bool TextEntry::Accepts(const IParameter* param, char32_t c)
{
    if (!param) return true;
    if ((c >= '0' && c <= '9') || c == '+' || c == '-') return true;
    return c == '.' && param->GetType() == IParameter::Type::Double;
}

void TextEntry::Commit(IControl& control, const IParameter* param, std::string_view text)
{
    const std::string cut(text.substr(0, kMaxLength));
    if (!param)
    {
        control.TakeEnteredText(cut);
        return;
    }
    double value = 0.0;
    const IParameter::Type type = param->GetType();
    if (type == IParameter::Type::Bool || type == IParameter::Type::Enum)
    {
        if (!param->MapDisplayText(cut, &value)) value = 0.0;
    }
    else if (!ReadNumber(cut, value))
    {
        return;
    }
    control.TakeUserChoice(param->GetNormalized(value));
}

} // namespace zr
