#include "editor/panel/IZRContextMenu.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IPopupList.h"
#include "instrument/ParameterTable.h"
#include "plugin/IPlugBase.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zr
{

IZRContextMenu::IZRContextMenu(IPlugBase& plug, const IRectangle& ownerRect, int ownerParam)
    : IControl(plug, ownerRect, kPseudoIndex), ownerParam_(ownerParam)
{
}

bool IZRContextMenu::Draw(IGraphics&)
{
    return true;
}

void IZRContextMenu::AddBlockItems(IPopupList& menu, int ownBlock)
{
    static constexpr std::array<std::string_view, Param::kNumBlocks> kItems = {
        "Copy to Block A", "Copy to Block B", "Copy to Block C"};
    for (int b = 0; b < Param::kNumBlocks; ++b)
    {
        menu.AddItem(kItems[b], b == ownBlock ? IPopupItem::kDisabled : 0);
    }
}

void IZRContextMenu::Open(IGraphics& graphics)
{
    IPopupList list;
    const int ownBlock = Param::BlockOf(ownerParam_);
    AddBlockItems(list, ownBlock);
    const IRectangle below{Rect().L, Rect().B, Rect().R, Rect().B};
    const IPopupList* chosen = graphics.ShowPopupList(list, below);
    if (chosen && chosen->ChosenIndex() >= 0 && chosen->ChosenIndex() < Param::kNumBlocks &&
        chosen->ChosenIndex() != ownBlock)
    {
        CopyToBlock(graphics, chosen->ChosenIndex());
    }
}

void IZRContextMenu::CopyToBlock(IGraphics& graphics, int block)
{
    const IParameter* source = Plug().GetParam(ownerParam_);
    if (!source) return;
    const int target = Param::BlockParamIndex(block, Param::PositionInBlock(ownerParam_));
    const double position = source->GetNormalized(std::clamp(source->Value(), source->Min(), source->Max()));
    Plug().SetParamFromEditor(target, position);
    graphics.PushParamToControls(target, position, true);
}

} // namespace zr
