#include "plugin/IParameter.h"

#include "common/Sanitize.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace zr
{

namespace
{
std::string BoundedText(std::string_view text)
{
    return std::string(text.substr(0, IParameter::kMaxTextLength));
}

// Truncation toward zero that stays defined for NaN and values beyond the int32 range.
int32_t TruncateToInt32(double value)
{
    if (std::isnan(value))
    {
        return 0;
    }
    constexpr double lowest = std::numeric_limits<int32_t>::min();
    constexpr double highest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(value, lowest, highest));
}

double SanitizedUnit(double x)
{
    return NanAsZeroClamped(x, 0.0, 1.0);
}

int CountDecimals(double step)
{
    int decimals = 0;
    while (decimals < IParameter::kMaxDisplayPrecision && step != std::floor(step))
    {
        step *= 10.0;
        ++decimals;
    }
    return decimals;
}
} // namespace

void IParameter::DefineDouble(std::string_view name, double defaultValue, double min, double max, double step,
                              std::string_view label, double shape)
{
    if (mType == Type::None)
    {
        mType = Type::Double;
    }
    mName = BoundedText(name);
    mLabel = BoundedText(label);
    mValue = defaultValue;
    mDefault = defaultValue;
    mMin = min;
    mMax = std::max(max, min + step);
    mStep = step;
    mDisplayPrecision = CountDecimals(step);
    if (shape != 0.0)
    {
        mShape = shape;
    }
}

void IParameter::DefineInt(std::string_view name, double defaultValue, double min, double max,
                           std::string_view label)
{
    if (mType == Type::None)
    {
        mType = Type::Int;
    }
    DefineDouble(name, defaultValue, min, max, 1.0, label, 1.0);
}

void IParameter::DefineBool(std::string_view name, bool defaultValue)
{
    if (mType == Type::None)
    {
        mType = Type::Bool;
    }
    DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "", 1.0);
    AppendDisplayText(0, "off");
    AppendDisplayText(1, "on");
}

void IParameter::DefineEnum(std::string_view name, double defaultValue,
                            std::span<const std::string_view> texts)
{
    if (mType == Type::None)
    {
        mType = Type::Enum;
    }
    const auto count = static_cast<int32_t>(texts.size());
    DefineDouble(name, defaultValue, 0.0, count - 1.0, 1.0, "", 1.0);
    for (int32_t i = 0; i < count; ++i)
    {
        AppendDisplayText(i, texts[static_cast<size_t>(i)]);
    }
}

void IParameter::AppendDisplayText(int32_t value, std::string_view text)
{
    mDisplayTexts.push_back({value, BoundedText(text)});
}

void IParameter::Set(double value)
{
    if (!std::isnan(value))
    {
        mValue = std::clamp(value, mMin, mMax);
    }
}

void IParameter::SetFromNormalized(double x)
{
    double value = FromNormalized(x);
    if (mType != Type::Double)
    {
        value = std::floor(value / mStep + 0.5) * mStep;
    }
    // Both bounds: a value below min must not come out of rounding or of a bad host value.
    mValue = std::clamp(value, mMin, mMax);
}

double IParameter::GetNormalized(double value) const
{
    const double range = mMax - mMin;
    if (!(range > 0.0) || std::isnan(value))
    {
        return 0.0;
    }
    const double linear = (std::clamp(value, mMin, mMax) - mMin) / range;
    return std::pow(linear, 1.0 / mShape);
}

double IParameter::FromNormalized(double x) const
{
    return std::pow(SanitizedUnit(x), mShape) * (mMax - mMin) + mMin;
}

const char* IParameter::GetDisplayText(double value) const
{
    const int32_t key = TruncateToInt32(value);
    const auto entry = std::find_if(mDisplayTexts.begin(), mDisplayTexts.end(),
                                    [key](const DisplayText& d) { return d.value == key; });
    if (entry == mDisplayTexts.end() || entry->text.empty())
    {
        return nullptr;
    }
    return entry->text.c_str();
}

bool IParameter::MapDisplayText(std::string_view text, double* value) const
{
    const auto entry = std::find_if(mDisplayTexts.begin(), mDisplayTexts.end(),
                                    [text](const DisplayText& d) { return d.text == text; });
    if (entry == mDisplayTexts.end())
    {
        return false;
    }
    *value = entry->value;
    return true;
}

std::string IParameter::GetDisplay(double value, bool normalized, bool withTexts) const
{
    if (normalized)
    {
        value = FromNormalized(value);
    }
    if (withTexts)
    {
        if (const char* text = GetDisplayText(value))
        {
            return text;
        }
    }
    std::array<char, 400> buffer{};
    std::to_chars_result result{};
    if (mDisplayPrecision == 0)
    {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), TruncateToInt32(value));
    }
    else
    {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                               mDisplayPrecision);
    }
    return result.ec == std::errc() ? std::string(buffer.data(), result.ptr) : std::string();
}

std::string_view IParameter::GetLabelForHost() const
{
    return GetDisplayText(mValue) ? std::string_view() : std::string_view(mLabel);
}

} // namespace zr
