#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zr::bankgen
{

// Reads the factory bank's text form into plain data, without knowing the parameter table:
//
//   # comment                     '#' at the start of a line or after a blank starts a comment
//   program PAD: Waves of Sin     starts a program; the name is the rest of the line
//   A:Cutoff = 0.45               block parameter (prefix A:, B: or C:) with a plain number
//   B:Waveform = "Triangle"       list or switch parameter by its display text
//   Final = 0.5                   global parameter (no prefix)
//
// Parameter names may hold '#' ("Tune C#"): only a '#' that opens a line or follows a blank or tab
// opens a comment. Quoted texts take the escapes \" and \\. Lines may end in CRLF.
class FactoryText
{
public:
    static constexpr int kMaxPrograms = 64;
    // A program name fills the host's 24-byte name buffer with its terminator.
    static constexpr std::size_t kMaxNameLength = 23;
    static constexpr int kGlobalBlock = -1;
    static constexpr std::string_view kProgramKeyword = "program";

    // A parameter value: a plain number in the parameter's own units, or a display text.
    using Value = std::variant<double, std::string>;

    struct Entry
    {
        int block = kGlobalBlock; // kGlobalBlock, or 0, 1, 2 for blocks A, B, C
        std::string parameter;
        Value value;
        int line = 0;

        bool IsText() const { return std::holds_alternative<std::string>(value); }
    };

    struct Program
    {
        std::string name;
        int line = 0;
        std::vector<Entry> entries;
    };

    struct Error
    {
        int line = 0; // 0: the text as a whole (for instance a file that cannot be read)
        std::string message;
    };

    struct Result
    {
        std::vector<Program> programs;
        std::vector<Error> errors; // in line order; the programs are complete only when this is empty

        bool Ok() const { return errors.empty(); }
    };

    // Reads a whole text. Every malformed line is reported; reading goes on with the next line.
    static Result Parse(std::string_view text);
    // Reads the file at path; a file that cannot be read gives one error at line 0.
    static Result ReadFile(const std::string& path);
};

} // namespace zr::bankgen
