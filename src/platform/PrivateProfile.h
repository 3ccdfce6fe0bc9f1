#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zr::platform
{

// Private-profile (INI) file access with the semantics of the Windows private-profile functions.
// Called from the editor's thread or during instance construction, never from the audio thread.

// INI files larger than this are not read (reads give the defaults, writes fail), so a garbage file
// cannot exhaust memory.
inline constexpr std::size_t kMaxProfileFileBytes = std::size_t{1} << 20;

// The value of key in section, or defaultValue when the file, the section or the key is missing.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              const std::string& path);

// The leading decimal integer of the value of key in section; defaultValue when the file, section or key is
// missing or the value is empty; 0 when the value does not begin with a number.
int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue, const std::string& path);

// Writes key=value into section, creating the file and the section as needed. A missing value deletes
// the key; a missing key deletes the whole section. Line breaks, "]" in a section name and "=" in a key are
// refused. The file is replaced atomically. False when the file cannot be read or written.
bool WriteProfileString(std::string_view section, std::optional<std::string_view> key,
                        std::optional<std::string_view> value, const std::string& path);

// The optionally signed decimal integer at the start of text after blanks, limited to the int range;
// 0 when text does not begin with a number. Independent of the process locale.
int LeadingInt(std::string_view text);

} // namespace zr::platform
