#pragma once

namespace zr
{

// The keys the panel is offered: space, the arrows, digits and letters (either case).
enum class KeyCode : int
{
    Space = 0,
    Up = 1,
    Down = 2,
    Left = 3,
    Right = 4,
    Digit0 = 5,  // '0' .. '9' are 5 .. 14
    LetterA = 15 // 'A' .. 'Z' are 15 .. 40
};

} // namespace zr
