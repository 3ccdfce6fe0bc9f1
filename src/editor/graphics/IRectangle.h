#pragma once

#include <algorithm>
#include <cstdint>

namespace zr
{

// A rectangle of panel pixels: left and top inside, right and bottom outside. All four values 0 is
// the empty rectangle, which contains and meets nothing.
struct IRectangle
{
    int32_t L = 0;
    int32_t T = 0;
    int32_t R = 0;
    int32_t B = 0;

    int32_t W() const { return R - L; }
    int32_t H() const { return B - T; }
    bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
    bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
    bool Intersects(const IRectangle& other) const
    {
        return !Empty() && !other.Empty() && L < other.R && other.L < R && T < other.B && other.T < B;
    }
    // The smallest rectangle holding both; an empty operand gives the other one.
    IRectangle Union(const IRectangle& other) const
    {
        if (Empty()) return other;
        if (other.Empty()) return *this;
        return {std::min(L, other.L), std::min(T, other.T), std::max(R, other.R), std::max(B, other.B)};
    }
    // The common part; the empty rectangle when they do not meet.
    IRectangle Intersect(const IRectangle& other) const
    {
        if (!Intersects(other)) return {};
        return {std::max(L, other.L), std::max(T, other.T), std::min(R, other.R), std::min(B, other.B)};
    }
    bool operator==(const IRectangle&) const = default;
};

} // namespace zr
