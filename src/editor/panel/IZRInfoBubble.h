#pragma once

#include "editor/graphics/IControl.h"

#include <array>

namespace zr
{

class ITextControl;

// The information panel: four text lines (attached to the control list just before it) showing what
// the last hovered patch point takes and gives. It keeps showing them until another patch point is
// hovered (user-interface thread).
class IZRInfoBubble : public IControl
{
public:
    static constexpr int kPseudoIndex = -244;

    IZRInfoBubble(IPlugBase& plug, const IRectangle& rect, const std::array<ITextControl*, 4>& lines);

    // Draws the four lines.
    bool Draw(IGraphics& graphics) override;
    // Shows the information of patch-point parameter index for its current value.
    void ShowPatchPoint(int index);

    const ITextControl& Line(int k) const { return *lines_[k]; }

private:
    std::array<ITextControl*, 4> lines_;
};

} // namespace zr
