#include "platform/linux/X11KeyMap.h"

#include <X11/keysym.h>

namespace zr
{

std::optional<KeyCode> TranslateKey(KeySym sym)
{
    const auto code = [](int value) { return static_cast<KeyCode>(value); };
    switch (sym)
    {
    case XK_space:
        return KeyCode::Space;
    case XK_Up:
        return KeyCode::Up;
    case XK_Down:
        return KeyCode::Down;
    case XK_Left:
        return KeyCode::Left;
    case XK_Right:
        return KeyCode::Right;
    default:
        break;
    }
    const int digit0 = static_cast<int>(KeyCode::Digit0);
    const int letterA = static_cast<int>(KeyCode::LetterA);
    if (sym >= XK_0 && sym <= XK_9) return code(digit0 + static_cast<int>(sym - XK_0));
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return code(digit0 + static_cast<int>(sym - XK_KP_0));
    if (sym >= XK_A && sym <= XK_Z) return code(letterA + static_cast<int>(sym - XK_A));
    if (sym >= XK_a && sym <= XK_z) return code(letterA + static_cast<int>(sym - XK_a));
    return std::nullopt;
}

} // namespace zr
