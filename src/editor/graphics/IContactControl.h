#pragma once

#include "editor/graphics/ISwitchControl.h"

namespace zr
{

// A momentary switch: on while the button is held, back to 0 when it is released.
class IContactControl : public ISwitchControl
{
public:
    using ISwitchControl::ISwitchControl;

    void OnMouseUp(int x, int y, const IMouseState& mouse) override;
};

} // namespace zr
