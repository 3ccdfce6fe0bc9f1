#include "platform/IniDocument.h"

#include <algorithm>

namespace zr::platform
{

namespace
{

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string KeyLineText(std::string_view key, std::string_view value)
{
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

} // namespace

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument document;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\n' && text[i] != '\r') continue;
        document.lines_.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) document.lines_.emplace_back(text.substr(start));
    return document;
}

std::optional<std::string_view> IniDocument::SectionNameOf(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

std::optional<IniDocument::KeyLine> IniDocument::KeyLineOf(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '[') return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return KeyLine{line, {}};
    return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::size_t IniDocument::SectionEnd(std::size_t header) const
{
    std::size_t end = header + 1;
    while (end < lines_.size() && !SectionNameOf(lines_[end]))
        ++end;
    return end;
}

std::vector<std::size_t> IniDocument::SectionHeaders(std::string_view name) const
{
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (const auto found = SectionNameOf(lines_[i]); found && EqualNoCase(*found, name))
            headers.push_back(i);
    return headers;
}

std::optional<std::size_t> IniDocument::FindKey(std::string_view section, std::string_view key) const
{
    for (const std::size_t header : SectionHeaders(section))
        for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
            if (const auto found = KeyLineOf(lines_[i]); found && EqualNoCase(found->key, key)) return i;
    return std::nullopt;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const
{
    const auto line = FindKey(section, key);
    if (!line) return std::nullopt;
    return std::string(Unquote(KeyLineOf(lines_[*line])->value));
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    if (const auto line = FindKey(section, key))
    {
        lines_[*line] = KeyLineText(KeyLineOf(lines_[*line])->key, value);
        return;
    }
    const auto headers = SectionHeaders(section);
    if (headers.empty())
    {
        if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(KeyLineText(key, value));
        return;
    }
    std::size_t insertAt = SectionEnd(headers.front());
    while (insertAt > headers.front() + 1 && Trim(lines_[insertAt - 1]).empty())
        --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), KeyLineText(key, value));
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    while (const auto line = FindKey(section, key))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
}

void IniDocument::DeleteSection(std::string_view section)
{
    const auto headers = SectionHeaders(section);
    for (auto header = headers.rbegin(); header != headers.rend(); ++header)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(*header)));
}

std::string IniDocument::Text() const
{
    std::string text;
    for (const std::string& line : lines_)
    {
        text += line;
        text += '\n';
    }
    return text;
}

} // namespace zr::platform
