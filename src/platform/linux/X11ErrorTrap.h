#pragma once

#include <X11/Xlib.h>

namespace zr
{

// Xlib's default error handler ends the process. The editor's connections count their errors
// instead (a window the host destroyed under us, a refused shared-memory segment); errors on the
// host's own connections still go to the handler the host installed.
class X11ErrorTrap
{
public:
    // Installs the handler once per process and starts counting for display.
    static void Watch(Display* display);
    static void Forget(Display* display);
    // Errors on display since it was watched (after an XSync to see the latest).
    static int Errors(Display* display);
};

} // namespace zr
