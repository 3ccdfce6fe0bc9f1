#pragma once

#include "editor/graphics/IControl.h"

namespace zr
{

class IPopupList;

// The copy-to-block menu of one block control: "Copy to Block A/B/C", the owner's own block greyed.
// Choosing block d writes the owner parameter's position to the same parameter of block d and moves
// that block's controls. Owned by its control, never in the control list (user-interface thread).
class IZRContextMenu : public IControl
{
public:
    static constexpr int kPseudoIndex = -243;

    IZRContextMenu(IPlugBase& plug, const IRectangle& ownerRect, int ownerParam);

    bool Draw(IGraphics& graphics) override;
    // Shows the menu below the owner on the owner's graphics object and carries out the choice.
    void Open(IGraphics& graphics);

    int OwnerParam() const { return ownerParam_; }

    // "Copy to Block A", "Copy to Block B", "Copy to Block C", the item of ownBlock greyed.
    static void AddBlockItems(IPopupList& menu, int ownBlock);

private:
    void CopyToBlock(IGraphics& graphics, int block);

    int ownerParam_;
};

} // namespace zr
