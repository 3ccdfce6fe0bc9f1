#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zr
{

// One automatable parameter: its kind, range, value and the texts shown for it.
// The normalised position x in 0..1 maps to value = min + (max - min) * x^shape.
// Not thread-safe by itself; the plug-in's instance lock serialises all access.
class IParameter
{
public:
    enum class Type : int32_t
    {
        None = 0,
        Bool = 1,
        Int = 2,
        Enum = 3,
        Double = 4
    };

    // Names, labels and display texts hold at most this many characters (32 bytes with terminator).
    static constexpr size_t kMaxTextLength = 31;
    static constexpr int kMaxDisplayPrecision = 6;

    struct DisplayText
    {
        int32_t value;
        std::string text;
    };

    // The initializers set the type only while it is still None.
    void DefineDouble(std::string_view name, double defaultValue, double min, double max, double step,
                      std::string_view label = "", double shape = 1.0);
    void DefineInt(std::string_view name, double defaultValue, double min, double max,
                   std::string_view label = "");
    // Display texts "off" (0) and "on" (1).
    void DefineBool(std::string_view name, bool defaultValue);
    // Range 0 .. texts.size() - 1; text k is shown for value k.
    void DefineEnum(std::string_view name, double defaultValue, std::span<const std::string_view> texts);
    void AppendDisplayText(int32_t value, std::string_view text);

    // Value clamped into [min, max]; NaN leaves the value unchanged.
    void Set(double value);
    // NaN counts as 0 and x is limited to 0..1; other types than double are rounded to the step.
    void SetFromNormalized(double x);

    double Value() const { return mValue; }
    bool BoolValue() const { return mValue >= 0.5; }
    double Min() const { return mMin; }
    double Max() const { return mMax; }
    double Step() const { return mStep; }
    double Shape() const { return mShape; }
    double Default() const { return mDefault; }
    int DisplayPrecision() const { return mDisplayPrecision; }
    Type GetType() const { return mType; }
    const std::string& Name() const { return mName; }
    const std::string& Label() const { return mLabel; }
    const std::vector<DisplayText>& DisplayTexts() const { return mDisplayTexts; }

    // ((value clamped to [min, max]) - min) / (max - min), raised to 1 / shape.
    double GetNormalized() const { return GetNormalized(mValue); }
    double GetNormalized(double value) const;
    // min + (max - min) * x^shape for x limited to 0..1, without rounding to the step.
    double FromNormalized(double x) const;

    // The text of the first display-text entry for value truncated toward zero; nullptr when
    // there is none or its text is empty.
    const char* GetDisplayText(double value) const;
    // The value of the first display-text entry whose text equals the given text.
    bool MapDisplayText(std::string_view text, double* value) const;
    // The display text of value (normalised position if normalized) when withTexts and one exists,
    // else the number with the display precision ("%d" of the integer part at precision 0).
    std::string GetDisplay(double value, bool normalized, bool withTexts) const;
    std::string GetDisplay(bool withTexts = true) const { return GetDisplay(mValue, false, withTexts); }
    // Empty when the current value has a display text, else the label.
    std::string_view GetLabelForHost() const;

private:
    Type mType = Type::None;
    double mValue = 0.0;
    double mMin = 0.0;
    double mMax = 1.0;
    double mStep = 1.0;
    double mShape = 1.0;
    double mDefault = 0.0;
    int mDisplayPrecision = 0;
    std::string mName;
    std::string mLabel;
    std::vector<DisplayText> mDisplayTexts;
};

} // namespace zr
