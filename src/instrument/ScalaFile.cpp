#include "instrument/ScalaFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace zr
{

namespace
{

// Walks the text line by line. A line ends at LF, CR, CR LF or LF CR; a line whose first character
// is "!" is a comment.
class ScalaLineReader
{
public:
    explicit ScalaLineReader(std::string_view text) : text_(text) {}

    void SkipLine()
    {
        SkipComments();
        SkipRestOfLine();
    }

    // The first blank-separated field of the next non-comment line, which is consumed whole; empty when
    // the field is longer than maxLength.
    std::optional<std::string_view> ReadField(std::size_t maxLength)
    {
        SkipComments();
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsBlank(text_[pos_]) && !IsLineEnd(text_[pos_]))
            ++pos_;
        const std::string_view field = text_.substr(start, pos_ - start);
        SkipRestOfLine();
        if (field.size() > maxLength) return std::nullopt;
        return field;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
    static bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

    void SkipComments()
    {
        while (pos_ < text_.size() && text_[pos_] == '!')
            SkipRestOfLine();
    }

    void SkipRestOfLine()
    {
        while (pos_ < text_.size() && !IsLineEnd(text_[pos_]))
            ++pos_;
        if (pos_ == text_.size()) return;
        const char first = text_[pos_++];
        const char partner = first == '\n' ? '\r' : '\n';
        if (pos_ < text_.size() && text_[pos_] == partner) ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Value of the optionally signed decimal integer at the start of text (0 when there is none). Held in a
// double so that any field length stays finite.
double LeadingInteger(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double value = 0.0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10.0 + (text[i] - '0');
    return negative ? -value : value;
}

// The optionally signed decimal number at the start of text; empty when there is none or it overflows.
std::optional<double> LeadingNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const std::size_t digits = text.empty() || text.front() != '-' ? 0 : 1;
    if (digits >= text.size() ||
        !(std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string FormatFixed(double value, int decimals)
{
    std::array<char, 400> buffer{}; // room for the largest double printed in fixed notation
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("0");
}

// The part of a path after its last "\" or "/", with line breaks blanked so that it stays one comment line.
std::string BaseName(std::string_view path)
{
    const std::size_t slash = path.find_last_of("\\/");
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return name;
}

} // namespace

std::optional<double> ScalaFile::PitchOfField(std::string_view field)
{
    if (field.find('.') != std::string_view::npos) return LeadingNumber(field);
    const double numerator = LeadingInteger(field);
    if (numerator <= 0.0) return std::nullopt;
    double denominator = 1.0;
    if (const std::size_t slash = field.find('/'); slash != std::string_view::npos)
    {
        denominator = LeadingInteger(field.substr(slash + 1));
        if (denominator <= 0.0) return std::nullopt;
    }
    // Digit strings too long for a double read as infinity; such a field is no pitch.
    const double cents = kCentsPerOctave * (std::log2(numerator) - std::log2(denominator));
    return std::isfinite(cents) ? std::optional<double>(cents) : std::nullopt;
}

DegreePitches ScalaFile::Parse(std::string_view text)
{
    ScalaLineReader reader(text);
    reader.SkipLine(); // the description
    int count = 0;
    if (const auto field = reader.ReadField(kMaxCountFieldLength))
        count = static_cast<int>(std::clamp(LeadingInteger(*field), 0.0, double{kDegreeCount}));
    DegreePitches pitches;
    for (int k = 0; k < count; ++k)
        if (const auto field = reader.ReadField(kMaxPitchFieldLength)) pitches[k] = PitchOfField(*field);
    return pitches;
}

std::optional<DegreePitches> ScalaFile::Read(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(kMaxFileBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return Parse(text);
}

std::string ScalaFile::Format(std::string_view path, const TuneValues& tunes)
{
    std::string text = "! " + BaseName(path) + "\n!\n" + std::string(kDescription) + "\n " +
                       std::to_string(kDegreeCount) + "\n!\n";
    for (int k = 1; k <= kDegreeCount; ++k)
        text += " " + FormatFixed(Microtuning::CentsOfDegree(k, tunes), kWrittenDecimals) + "\n";
    return text;
}

bool ScalaFile::Write(const std::string& path, const TuneValues& tunes)
{
    const std::string text = Format(path, tunes);
    std::ofstream out(path, std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

} // namespace zr
