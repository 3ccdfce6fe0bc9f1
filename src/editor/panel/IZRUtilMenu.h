#pragma once

#include "editor/panel/IZRMenuArea.h"

namespace zr
{

// The utility menu of one block: "Copy to Block A/B/C" copies the whole block onto another one; the
// block's own item is greyed.
class IZRUtilMenu : public IZRMenuArea
{
public:
    IZRUtilMenu(IPlugBase& plug, const IRectangle& rect, int pseudoIndex, int block);

    void BuildMenu(IPopupList& menu) override;
    int Block() const { return block_; }

protected:
    void RunChoice(const IPopupList& menu, const IPopupList& chosen) override;

private:
    int block_;
};

} // namespace zr
