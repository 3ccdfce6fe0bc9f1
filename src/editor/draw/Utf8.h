#pragma once

#include <cstddef>
#include <string_view>

namespace zr::draw
{

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point starting at text[pos], pos moved past it (pos < text.size()). An invalid or cut-off
// sequence (stray continuation byte, overlong form, surrogate, above U+10FFFF) gives U+FFFD and
// consumes its longest valid beginning, at least one byte.
char32_t NextCodePoint(std::string_view text, size_t& pos);

} // namespace zr::draw
