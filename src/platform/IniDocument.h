#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr::platform
{

// The text of a private-profile (INI) file as a list of lines, with the lookup and edit rules of the
// Windows private-profile functions: "[Section]" headers, "key=value" lines with blanks around the key
// and the value ignored, section and key names compared without regard to ASCII case, the first
// occurrence of a key winning, lines starting with ";" being comments. Lines that are not touched by
// an edit are kept exactly; any of LF, CR LF and lone CR ends a line.
class IniDocument
{
public:
    static IniDocument Parse(std::string_view text);

    // The value of key in section, without surrounding blanks and without one pair of matching quotes.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the first occurrence of key, or adds it at the end of the section (adding the section at
    // the end of the document when it is missing).
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes every occurrence of key in every section of that name.
    void DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of that name with all its lines.
    void DeleteSection(std::string_view section);

    // The document as text, every line followed by a line feed.
    std::string Text() const;

private:
    struct KeyLine
    {
        std::string_view key;
        std::string_view value;
    };

    static std::optional<std::string_view> SectionNameOf(std::string_view line);
    static std::optional<KeyLine> KeyLineOf(std::string_view line);
    // Index of the line after the section whose header is at line header.
    std::size_t SectionEnd(std::size_t header) const;
    // Indexes of the headers of every section named name, in document order.
    std::vector<std::size_t> SectionHeaders(std::string_view name) const;
    std::optional<std::size_t> FindKey(std::string_view section, std::string_view key) const;

    std::vector<std::string> lines_;
};

} // namespace zr::platform
