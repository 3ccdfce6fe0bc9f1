#include "bankgen/FactoryText.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <utility>

namespace zr::bankgen
{

namespace
{

using Entry = FactoryText::Entry;
using Program = FactoryText::Program;
using Value = FactoryText::Value;

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kBlockLetters = "ABC";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char kComment = '#';
constexpr char kQuote = '"';
constexpr char kEscape = '\\';
constexpr char kPrefixEnd = ':';
constexpr char kAssign = '=';

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool IsBlank(char c)
{
    return kBlanks.find(c) != std::string_view::npos;
}

// The line without its comment. A '#' opens a comment at the line start or after a blank, never
// inside a quoted text, so names such as "Tune C#" keep their '#'.
std::string_view WithoutComment(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i)
    {
        const char c = line[i];
        if (quoted && c == kEscape)
            ++i;
        else if (c == kQuote)
            quoted = !quoted;
        else if (!quoted && c == kComment && (i == 0 || IsBlank(line[i - 1])))
            return line.substr(0, i);
    }
    return line;
}

// A quoted value with its escapes resolved; error is empty when the token reads.
struct Unquoted
{
    std::string text;
    std::string error;
};

Unquoted UnquoteText(std::string_view token)
{
    Unquoted result;
    for (std::size_t i = 1; i < token.size(); ++i)
    {
        const char c = token[i];
        if (c == kQuote)
        {
            if (i + 1 != token.size()) result.error = "unexpected text after the quoted value";
            return result;
        }
        if (c == kEscape && i + 1 < token.size())
        {
            const char escaped = token[++i];
            if (escaped != kQuote && escaped != kEscape)
            {
                result.error = std::string("unknown escape \\") + escaped;
                return result;
            }
            result.text += escaped;
            continue;
        }
        result.text += c;
    }
    result.error = "quoted value without its closing quote";
    return result;
}

std::optional<double> NumberOf(std::string_view token)
{
    // A leading '+' is accepted once, and never before another sign.
    const bool plus = token.starts_with('+');
    if (plus) token.remove_prefix(1);
    if (token.starts_with('+') || (plus && token.starts_with('-'))) return std::nullopt;
    double number = 0.0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(number))
        return std::nullopt;
    return number;
}

// Reads the text line by line, keeping the current program and the errors found so far.
class Reader
{
public:
    // Room for every accepted program up front, so the pointer to the current one stays valid.
    Reader() { result_.programs.reserve(FactoryText::kMaxPrograms); }

    FactoryText::Result Read(std::string_view text)
    {
        if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
        int lineNumber = 0;
        while (!text.empty())
        {
            const auto end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
            if (line.ends_with('\r')) line.remove_suffix(1);
            ReadLine(++lineNumber, Trim(WithoutComment(line)));
        }
        return std::move(result_);
    }

private:
    void ReadLine(int line, std::string_view content)
    {
        if (content.empty()) return;
        if (IsProgramLine(content))
            StartProgram(line, Trim(content.substr(FactoryText::kProgramKeyword.size())));
        else
            ReadEntry(line, content);
    }

    static bool IsProgramLine(std::string_view content)
    {
        const auto keyword = FactoryText::kProgramKeyword;
        return content.starts_with(keyword) &&
               (content.size() == keyword.size() || IsBlank(content[keyword.size()]));
    }

    void StartProgram(int line, std::string_view name)
    {
        current_ = &discarded_;
        discarded_ = Program{};
        entryNames_.clear();
        if (name.empty()) return Fail(line, "program without a name");
        if (name.size() > FactoryText::kMaxNameLength)
            return Fail(line, "program name \"" + std::string(name) + "\" is longer than " +
                                  std::to_string(FactoryText::kMaxNameLength) + " characters");
        if (!names_.insert(std::string(name)).second)
            return Fail(line, "program name \"" + std::string(name) + "\" is used twice");
        if (result_.programs.size() >= FactoryText::kMaxPrograms)
            return Fail(line, "more than " + std::to_string(FactoryText::kMaxPrograms) + " programs");
        result_.programs.push_back(Program{std::string(name), line, {}});
        current_ = &result_.programs.back();
    }

    void ReadEntry(int line, std::string_view content)
    {
        if (current_ == nullptr) return Fail(line, "parameter line before the first program line");
        const auto assign = content.find(kAssign);
        if (assign == std::string_view::npos) return Fail(line, "expected 'name = value'");
        Entry entry;
        entry.line = line;
        if (!ReadTarget(line, Trim(content.substr(0, assign)), entry)) return;
        if (!ReadValue(line, Trim(content.substr(assign + 1)), entry)) return;
        if (!entryNames_.insert({entry.block, entry.parameter}).second)
            return Fail(line, "parameter \"" + QualifiedName(entry) + "\" is given twice in this program");
        current_->entries.push_back(std::move(entry));
    }

    static std::string QualifiedName(const Entry& entry)
    {
        if (entry.block == FactoryText::kGlobalBlock) return entry.parameter;
        return std::string(1, kBlockLetters[entry.block]) + kPrefixEnd + entry.parameter;
    }

    // The block prefix and parameter name left of the '='.
    bool ReadTarget(int line, std::string_view target, Entry& entry)
    {
        const auto prefixEnd = target.find(kPrefixEnd);
        if (prefixEnd != std::string_view::npos)
        {
            const auto prefix = Trim(target.substr(0, prefixEnd));
            const auto letter =
                prefix.size() == 1 ? kBlockLetters.find(prefix.front()) : std::string_view::npos;
            if (letter == std::string_view::npos)
            {
                Fail(line, "unknown block prefix \"" + std::string(prefix) + "\" (expected A, B or C)");
                return false;
            }
            entry.block = static_cast<int>(letter);
            target = Trim(target.substr(prefixEnd + 1));
        }
        if (target.empty())
        {
            Fail(line, "missing parameter name");
            return false;
        }
        entry.parameter = std::string(target);
        return true;
    }

    bool ReadValue(int line, std::string_view token, Entry& entry)
    {
        if (token.empty())
        {
            Fail(line, "missing value");
            return false;
        }
        if (token.front() == kQuote)
        {
            auto unquoted = UnquoteText(token);
            if (!unquoted.error.empty())
            {
                Fail(line, std::move(unquoted.error));
                return false;
            }
            entry.value = std::move(unquoted.text);
            return true;
        }
        const auto number = NumberOf(token);
        if (!number)
        {
            Fail(line, "value \"" + std::string(token) + "\" is neither a finite number nor a quoted text");
            return false;
        }
        entry.value = *number;
        return true;
    }

    void Fail(int line, std::string message) { result_.errors.push_back({line, std::move(message)}); }

    FactoryText::Result result_;
    std::set<std::string> names_;
    // Entries of a refused program are still checked, then dropped.
    Program* current_ = nullptr;
    Program discarded_;
    // Block and name of every entry of the current program.
    std::set<std::pair<int, std::string>> entryNames_;
};

} // namespace

FactoryText::Result FactoryText::Parse(std::string_view text)
{
    return Reader().Read(text);
}

FactoryText::Result FactoryText::ReadFile(const std::string& path)
{
    std::error_code error;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, error)) file.open(path, std::ios::binary);
    if (!file.is_open()) return Result{{}, {{0, "cannot open \"" + path + "\""}}};
    const std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return Result{{}, {{0, "cannot read \"" + path + "\""}}};
    return Parse(content);
}

} // namespace zr::bankgen
