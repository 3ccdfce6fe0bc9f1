#pragma once

#include <X11/Xlib.h>

#include <functional>

namespace zr
{

// What a modal loop on the editor's connection (menu, message box) owes the editor: the events
// that are not its own, the editor's timer about every 40 ms, and a way to learn that the editor
// is closing.
struct X11ModalHooks
{
    std::function<void(XEvent&)> otherEvent;
    std::function<void()> tick;
    std::function<bool()> abandon;
};

} // namespace zr
