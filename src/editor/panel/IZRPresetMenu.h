#pragma once

#include "editor/graphics/IControl.h"

namespace zr
{

// The program display: the current program's number ("%02d") and name, each centred in its field.
// It covers both fields and the next-program button between them is attached after it, so it stays
// clickable (user-interface thread).
class IZRPresetMenu : public IControl
{
public:
    static constexpr int kTextEntryLimit = 253;

    IZRPresetMenu(IPlugBase& plug, const IRectangle& numberRect, const IRectangle& nameRect);

    bool Draw(IGraphics& graphics) override;
    void OnMouseDown(int, int, const IMouseState&) override {}

    // Marks the display for redrawing after the programs changed.
    void Refresh() { MarkDirty(false); }

    std::string NumberText() const;
    std::string NameText() const;

private:
    IRectangle numberRect_;
    IRectangle nameRect_;
};

} // namespace zr
