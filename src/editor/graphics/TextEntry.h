#pragma once

#include <cstddef>
#include <string_view>

namespace zr
{

class IControl;
class IParameter;

// What becomes of a committed text entry, the same on every platform.
class TextEntry
{
public:
    // Longer entries are cut to this many characters.
    static constexpr size_t kMaxLength = 31;

    // With a parameter: on/off and list parameters look the text up among their display texts
    // (no match means 0), the others read it as a decimal number; the value, normalised with the
    // parameter's shape, goes to the control's TakeUserChoice. An unreadable number changes
    // nothing. Without a parameter the text goes to TakeEnteredText.
    // Whether a typed character may enter the field: anything without a parameter; digits, '+'
    // and '-' for on/off, integer and list parameters, and also '.' for decimal ones.
    static bool Accepts(const IParameter* param, char32_t c);

    static void Commit(IControl& control, const IParameter* param, std::string_view text);
};

} // namespace zr
