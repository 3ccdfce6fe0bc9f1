#pragma once

#include "instrument/Microtuning.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zr
{

// Reads and writes Scala tuning files (.scl). The reader takes untrusted text: it reads at most
// kMaxFileBytes, never fails as a whole on malformed content, and reports each degree's pitch in cents
// or as failed. Degrees beyond the file's note count, and pitches past the end of the file, are failed.
class ScalaFile
{
public:
    static constexpr std::size_t kMaxCountFieldLength = 15;
    static constexpr std::size_t kMaxPitchFieldLength = 31;
    // Real scale files are a few kilobytes; the pitches of interest sit in their first lines, so larger
    // files (or endless ones such as devices) are read as if they ended here.
    static constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;
    static constexpr double kCentsPerOctave = 1200.0;
    static constexpr int kWrittenDecimals = 5;
    static constexpr std::string_view kDescription = "ZR-4400 Tuning Export";

    // Pitches of degrees 1 … 12 from the text of a scale file.
    static DegreePitches Parse(std::string_view text);
    // Pitches from the file at path; empty when it is not a regular file or cannot be opened.
    static std::optional<DegreePitches> Read(const std::string& path);

    // Pitch of one field in cents: with a "." it is cents, otherwise a ratio n or n/d of positive
    // integers. Empty when the field is no pitch.
    static std::optional<double> PitchOfField(std::string_view field);

    // The text that saves the tune values to a file at path (its base name goes into the first line).
    static std::string Format(std::string_view path, const TuneValues& tunes);
    // Writes Format's text as a text file; false when the file cannot be created or written.
    static bool Write(const std::string& path, const TuneValues& tunes);
};

} // namespace zr
