// Structural check of a Standard MIDI File before it is handed to the parser, whose own checks
// are assertions that abort on malformed input.
#pragma once

#include <string>
#include <vector>

namespace zr::render
{

// Checks the header chunk, that every chunk lies inside the file, that there are as many track
// chunks as the header announces, and every event of every track: lengths, status bytes,
// running status, tempo and time-signature sizes, terminated system-exclusive data and a final
// end-of-track event. Formats 0 and 1 with quarter-note timing only. Returns "" when the file
// is sound, else what is wrong.
std::string CheckMidiFileStructure(const std::vector<char>& bytes);

} // namespace zr::render
