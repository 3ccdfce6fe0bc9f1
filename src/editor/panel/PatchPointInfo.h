#pragma once

#include <array>
#include <string_view>

namespace zr
{

// The four lines the information panel shows for a patch point: what it feeds, what it accepts, the
// chosen source and what that source puts out.
struct PatchPointLines
{
    std::array<std::string_view, 4> lines;
    bool known = false; // false for a parameter that is no patch point
};

// The information for parameter `index` (block parameters by their position in the block) when its
// value is `value`. clockActive[k]: whether "Clk<k+1> Src" is not 0 (external clocks 1 and 2 put out
// nothing while their source is off).
PatchPointLines PatchPointInfo(int index, int value, const std::array<bool, 2>& clockActive);

} // namespace zr
