#include "editor/graphics/IContactControl.h"

namespace zr
{

void IContactControl::OnMouseUp(int, int, const IMouseState&)
{
    SetValue(0.0);
    MarkDirty(true);
}

} // namespace zr
