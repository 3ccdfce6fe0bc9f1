#include "platform/linux/X11ErrorTrap.h"

#include <mutex>
#include <utility>
#include <vector>

namespace zr
{

namespace
{
struct TrapState
{
    std::mutex mutex;
    std::vector<std::pair<Display*, int>> displays;
    XErrorHandler previous = nullptr;
    bool installed = false;
};

TrapState& State()
{
    static TrapState state;
    return state;
}

int OnError(Display* display, XErrorEvent* error)
{
    TrapState& state = State();
    XErrorHandler previous = nullptr;
    {
        std::lock_guard lock(state.mutex);
        for (auto& [watched, count] : state.displays)
        {
            if (watched == display)
            {
                ++count;
                return 0;
            }
        }
        previous = state.previous;
    }
    return previous ? previous(display, error) : 0;
}
} // namespace

void X11ErrorTrap::Watch(Display* display)
{
    TrapState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.installed)
    {
        state.previous = XSetErrorHandler(OnError);
        state.installed = true;
    }
    state.displays.emplace_back(display, 0);
}

void X11ErrorTrap::Forget(Display* display)
{
    TrapState& state = State();
    std::lock_guard lock(state.mutex);
    std::erase_if(state.displays, [display](const auto& entry) { return entry.first == display; });
}

int X11ErrorTrap::Errors(Display* display)
{
    XSync(display, False);
    TrapState& state = State();
    std::lock_guard lock(state.mutex);
    for (const auto& [watched, count] : state.displays)
    {
        if (watched == display) return count;
    }
    return 0;
}

} // namespace zr
