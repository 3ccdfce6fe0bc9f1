#include "editor/panel/IZRMenuArea.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IPopupList.h"

namespace zr
{

void IZRMenuArea::OnMouseDown(int x, int y, const IMouseState&)
{
    IGraphics* graphics = Graphics();
    if (!graphics) return;
    IPopupList menu;
    BuildMenu(menu);
    const IPopupList* chosen = graphics->ShowPopupList(menu, {x, y, x, y});
    if (!chosen || chosen->ChosenIndex() < 0) return;
    RunChoice(menu, *chosen);
    graphics->MarkAllControlsDirty();
}

} // namespace zr
