#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zr
{

// Texts and numbers that cross the host interface. Host pointers and values are untrusted.

// ASCII letters in lower case; other bytes unchanged.
std::string ToLower(std::string_view text);
// Copies text into a host buffer of size bytes, cut so that the terminator fits.
void CopyText(void* destination, std::string_view text, size_t size);
// A text from a host pointer, read up to its terminator or IPlugVST::kMaxHostTextLength characters.
std::string_view HostText(const void* text);
// An index argument that does not fit an int becomes -1 (out of range everywhere).
int ToIndex(std::intptr_t value);
// The decimal number at the start of text (leading blanks skipped); 0 when there is none, like the
// C library conversion, but independent of the process locale.
double ParseDecimal(std::string_view text);

} // namespace zr
