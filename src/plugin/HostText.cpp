#include "plugin/HostText.h"

#include "plugin/IPlugVST.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace zr
{

std::string ToLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c)
                   { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
    return lower;
}

void CopyText(void* destination, std::string_view text, size_t size)
{
    if (!destination || size == 0)
    {
        return;
    }
    const size_t length = std::min(text.size(), size - 1);
    auto* out = static_cast<char*>(destination);
    if (length > 0)
    {
        std::memcpy(out, text.data(), length);
    }
    out[length] = '\0';
}

std::string_view HostText(const void* text)
{
    const auto* chars = static_cast<const char*>(text);
    return {chars, strnlen(chars, IPlugVST::kMaxHostTextLength)};
}

int ToIndex(std::intptr_t value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
               ? static_cast<int>(value)
               : -1;
}

// The decimal number at the start of text (leading blanks skipped); 0 when there is none, like the
double ParseDecimal(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\n\r\f\v");
    if (first == std::string_view::npos)
    {
        return 0.0;
    }
    text.remove_prefix(first);
    if (!text.empty() && text.front() == '+')
    {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? value : 0.0;
}

} // namespace zr
