#pragma once

namespace zr
{

// Buttons and modifier keys at a mouse event.
struct IMouseState
{
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

} // namespace zr
