#pragma once

#include "editor/graphics/IControl.h"

#include <string>
#include <string_view>

namespace zr
{

class IPopupList;
class Synth;

// The program display: the current program's number ("%02d") and name, each centred in its field.
// It covers both fields and the next-program button between them is attached after it, so it stays
// clickable. A click on the name opens the rename field (253 characters while typing, 31 kept);
// anywhere else it opens the program list in four groups of 16, the current program checked. After
// every click the whole panel is redrawn (user-interface thread).
class IZRPresetMenu : public IControl
{
public:
    static constexpr int kTextEntryLimit = 253;
    static constexpr int kGroupSize = 16;

    IZRPresetMenu(Synth& synth, const IRectangle& numberRect, const IRectangle& nameRect);

    bool Draw(IGraphics& graphics) override;
    void OnMouseDown(int x, int y, const IMouseState& mouse) override;
    // The rename: the current program takes the name with the present parameter values; the host
    // hears of the program and of every parameter.
    void TakeEnteredText(std::string_view text) override;

    // The program list: "00 - 15" ... "48 - 63", each with its programs as "%02u: %s".
    void BuildProgramList(IPopupList& list) const;
    // The program a choice in the list stands for: the group's first index plus the position.
    static int ProgramOf(const IPopupList& list, const IPopupList& chosen);

    // Marks the display for redrawing after the programs changed.
    void Refresh() { MarkDirty(false); }

    std::string NumberText() const;
    std::string NameText() const;

private:
    void OpenProgramList(IGraphics& graphics);

    Synth& synth_;
    IRectangle numberRect_;
    IRectangle nameRect_;
};

} // namespace zr
