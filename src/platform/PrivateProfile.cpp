#include "platform/PrivateProfile.h"

#include "platform/FileAccess.h"
#include "platform/IniDocument.h"

#include <charconv>
#include <climits>
#include <mutex>

namespace zr::platform
{

namespace
{

// Serialises the read-modify-write cycles of all instances in the process.
std::mutex& ProfileWriteMutex()
{
    static std::mutex mutex;
    return mutex;
}

bool HasAny(std::string_view text, std::string_view characters)
{
    return text.find_first_of(characters) != std::string_view::npos;
}

// Names and values that would change the structure of the file when written.
bool BreaksStructure(std::string_view section, std::optional<std::string_view> key,
                     std::optional<std::string_view> value)
{
    return HasAny(section, "\r\n]") || (key && HasAny(*key, "\r\n=")) || (value && HasAny(*value, "\r\n"));
}

} // namespace

int LeadingInt(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
    {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return 0;
    long long magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error == std::errc::result_out_of_range || magnitude > static_cast<long long>(INT_MAX) + 1)
        return negative ? INT_MIN : INT_MAX;
    const long long value = negative ? -magnitude : magnitude;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              const std::string& path)
{
    const FileReadResult file = ReadWholeFile(path, kMaxProfileFileBytes);
    if (file.status != FileReadStatus::Read) return std::string(defaultValue);
    return IniDocument::Parse(file.contents).Get(section, key).value_or(std::string(defaultValue));
}

int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue, const std::string& path)
{
    const std::string value = ReadProfileString(section, key, "", path);
    return value.empty() ? defaultValue : LeadingInt(value);
}

bool WriteProfileString(std::string_view section, std::optional<std::string_view> key,
                        std::optional<std::string_view> value, const std::string& path)
{
    if (BreaksStructure(section, key, value)) return false;
    std::lock_guard lock(ProfileWriteMutex());
    const FileReadResult file = ReadWholeFile(path, kMaxProfileFileBytes);
    if (file.status == FileReadStatus::Failed) return false;
    IniDocument document = IniDocument::Parse(file.contents);
    if (!key)
        document.DeleteSection(section);
    else if (!value)
        document.DeleteKey(section, *key);
    else
        document.Set(section, *key, *value);
    return ReplaceFileAtomically(path, document.Text());
}

} // namespace zr::platform
