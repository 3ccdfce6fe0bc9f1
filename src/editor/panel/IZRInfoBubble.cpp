#include "editor/panel/IZRInfoBubble.h"

#include "editor/graphics/ITextControl.h"
#include "editor/panel/PatchPointInfo.h"
#include "instrument/ParameterTable.h"
#include "plugin/IPlugBase.h"

namespace zr
{

IZRInfoBubble::IZRInfoBubble(IPlugBase& plug, const IRectangle& rect,
                             const std::array<ITextControl*, 4>& lines)
    : IControl(plug, rect, kPseudoIndex), lines_(lines)
{
}

bool IZRInfoBubble::Draw(IGraphics& graphics)
{
    bool drawn = true;
    for (ITextControl* line : lines_)
    {
        drawn = line->Draw(graphics) && drawn;
    }
    return drawn;
}

void IZRInfoBubble::ShowPatchPoint(int index)
{
    const IParameter* param = Plug().GetParam(index);
    const IParameter* clock1 = Plug().GetParam(Param::kClk1Src);
    const IParameter* clock2 = Plug().GetParam(Param::kClk2Src);
    if (!param || !clock1 || !clock2) return;
    const std::array<bool, 2> clockActive = {static_cast<int>(clock1->Value()) != 0,
                                             static_cast<int>(clock2->Value()) != 0};
    const PatchPointLines info = PatchPointInfo(index, static_cast<int>(param->Value()), clockActive);
    if (!info.known) return;
    for (size_t k = 0; k < lines_.size(); ++k)
    {
        lines_[k]->ShowPluginText(info.lines[k]);
    }
    MarkDirty(false);
}

} // namespace zr
