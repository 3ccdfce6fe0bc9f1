#pragma once

#include "editor/graphics/IControl.h"

namespace zr
{

// A click area of the panel that opens one of the instrument's menus; the background shows its face,
// so it draws nothing itself. The options, utility and microtuning menus are built on these.
class IZRMenuArea : public IControl
{
public:
    using IControl::IControl;

    bool Draw(IGraphics&) override { return true; }
    void OnMouseDown(int, int, const IMouseState&) override {}
};

// The options menu (programs, banks, configuration, MIDI, online).
class IZROptionMenu : public IZRMenuArea
{
public:
    using IZRMenuArea::IZRMenuArea;
};

// The utility menu of one block (copy the whole block).
class IZRUtilMenu : public IZRMenuArea
{
public:
    IZRUtilMenu(IPlugBase& plug, const IRectangle& rect, int pseudoIndex, int block)
        : IZRMenuArea(plug, rect, pseudoIndex), block_(block)
    {
    }
    int Block() const { return block_; }

private:
    int block_;
};

// The microtuning menu of one block.
class IZRMicroTuningMenu : public IZRUtilMenu
{
public:
    using IZRUtilMenu::IZRUtilMenu;
};

} // namespace zr
