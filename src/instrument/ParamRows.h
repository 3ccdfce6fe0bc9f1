#pragma once

#include "instrument/ParameterTable.h"

#include <array>
#include <cmath>
#include <limits>

namespace zr
{

class ParamApplier;
class SynthBlock;
class Voice;

// What one block-level position does to its block (the block step). block is the block's number
// (0 = A), value the parameter's current value.
using BlockRow = void (*)(ParamApplier& applier, SynthBlock& block, int blockIndex, double value);
// What one block-level position does to one voice (the voice step), run for the 64 voices of the
// block in slot order after the block row. Rows that need instrument state (patch references) are
// block rows that visit the voices themselves.
using VoiceRow = void (*)(Voice& voice, double value);
// What one global parameter does (the global step).
using GlobalRow = void (*)(ParamApplier& applier, double value);

// The parameter-change handler as a table: one entry per block-level position (block and voice
// rows) and one per global parameter. nullptr: the position has no effect at that level. Built
// once, by the AddXxxRows functions that each fill their own entries, and never changed afterwards.
struct ParamRows
{
    static constexpr int kGlobals = Param::kNumParams - Param::kFirstGlobal; // 46

    std::array<BlockRow, Param::kNumBlockParams> block{};
    std::array<VoiceRow, Param::kNumBlockParams> voice{};
    std::array<GlobalRow, kGlobals> global{};

    GlobalRow& Global(int index) { return global[index - Param::kFirstGlobal]; }
};

// The rows whose targets are the sound generation: oscillator bank, cutoff glide, resonators, AM,
// channel output, the voices' filter and envelope, and the globals "Final", "KBD Trig", "PB Range"
// and "Use Hold".
void AddSoundRows(ParamRows& rows);

// Value conversions shared by the rows.
namespace row
{
// On/off parameters are on at 0.5 or more.
constexpr double kFlagThreshold = 0.5;

inline bool Flag(double v)
{
    return v >= kFlagThreshold;
}
// List parameters truncated towards zero; values that fit no int count as 0.
inline int Integer(double v)
{
    constexpr double kIntLimit = std::numeric_limits<int>::max();
    return std::fabs(v) <= kIntLimit ? static_cast<int>(v) : 0;
}
} // namespace row

} // namespace zr
