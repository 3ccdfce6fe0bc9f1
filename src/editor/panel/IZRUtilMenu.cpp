#include "editor/panel/IZRUtilMenu.h"

#include "editor/graphics/IPopupList.h"
#include "editor/panel/IZRContextMenu.h"
#include "instrument/BlockCopy.h"

namespace zr
{

IZRUtilMenu::IZRUtilMenu(IPlugBase& plug, const IRectangle& rect, int pseudoIndex, int block)
    : IZRMenuArea(plug, rect, pseudoIndex), block_(block)
{
}

void IZRUtilMenu::BuildMenu(IPopupList& menu)
{
    IZRContextMenu::AddBlockItems(menu, block_);
}

void IZRUtilMenu::RunChoice(const IPopupList& menu, const IPopupList& chosen)
{
    if (&chosen == &menu && chosen.ChosenIndex() != block_) CopyBlock(Plug(), block_, chosen.ChosenIndex());
}

} // namespace zr
