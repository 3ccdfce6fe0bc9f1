#pragma once

#include "plugin/ChunkBuffer.h"

#include <string>
#include <string_view>

namespace zr
{

// One program slot: whether it holds a program, its name and its program state.
struct PresetEntry
{
    static constexpr size_t kMaxNameLength = 255;

    bool initialized = false;
    std::string name;
    ChunkBuffer chunk;

    // Stores the name, cut to kMaxNameLength characters.
    void SetName(std::string_view text) { name.assign(text.substr(0, kMaxNameLength)); }
};

} // namespace zr
