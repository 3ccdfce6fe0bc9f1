#pragma once

#include "plugin/ChunkBuffer.h"

#include <string_view>

namespace zr
{

class IPlugBase;

// The instrument's program state, the content of program slots, program chunks and program files:
//   13 bytes  the tag "ZR-4400_1.2.2" (no length, no terminator)
//    4 bytes  int32 index of the current program at the time of writing
//    4 bytes  int32 length n of the current program's name ("" if the index is invalid)
//    n bytes  the name, no terminator
//  8 per parameter  every parameter value (not normalised) as a double, in index order
// A state without the tag is read as a bare list of doubles from its first byte.
class ProgramState
{
public:
    static constexpr std::string_view kStateTag = "ZR-4400_1.2.2";

    // Appends the state of plug's current parameters to chunk; true if chunk is not empty after.
    static bool Serialize(IPlugBase& plug, ChunkBuffer& chunk);
    // Sets the parameters from the state at pos, then runs ParamChanged for every index. The stored
    // index and name are skipped. Returns the position after the state or -1 if it is cut short.
    // Does not take the lock; the caller holds it.
    static int Unserialize(IPlugBase& plug, const ChunkBuffer& chunk, int pos);
    // True if the bytes at pos are exactly the tag.
    static bool HasStateTag(const ChunkBuffer& chunk, int pos);
};

} // namespace zr
