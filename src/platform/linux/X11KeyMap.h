#pragma once

#include "editor/graphics/KeyCode.h"

#include <X11/X.h>

#include <optional>

namespace zr
{

// The keys the panel is offered, from X key symbols: space, the four arrows, digits (also of the
// keypad) and letters of either case. Every other key has no code and goes on to the host.
std::optional<KeyCode> TranslateKey(KeySym sym);

} // namespace zr
