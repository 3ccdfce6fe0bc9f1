#pragma once

#include "platform/linux/X11ModalHooks.h"

#include <X11/Xlib.h>

#include <functional>
#include <string_view>

namespace zr
{

// A modal message box of our own: a window transient for the host's window with the text (line
// breaks and tabs as given), the title, and OK or Yes/No buttons; Return answers OK or Yes, Escape
// OK or No. The nested loop hands other events to the editor and runs its timer.
class X11MessageBox
{
public:
    using Hooks = X11ModalHooks;

    // type and answer as IEditorPlatform's kBox... and kAnswer... values.
    static int Run(Display* display, Window owner, std::string_view text, std::string_view caption, int type,
                   const Hooks& hooks);
};

} // namespace zr
