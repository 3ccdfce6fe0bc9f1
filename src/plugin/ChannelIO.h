#pragma once

#include <string_view>
#include <vector>

namespace zr
{

// One legal channel configuration: number of inputs and outputs.
struct ChannelIO
{
    int inputs = 0;
    int outputs = 0;
};

constexpr int kMaxChannels = 64;

// Parses pairs "in-out" separated by single blanks ("0-1 0-2"); parsing stops at the first
// malformed pair, and counts are limited to 0 .. kMaxChannels.
std::vector<ChannelIO> ParseChannelIO(std::string_view text);

} // namespace zr
