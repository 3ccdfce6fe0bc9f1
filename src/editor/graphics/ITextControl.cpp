#include "editor/graphics/ITextControl.h"

#include "editor/graphics/IGraphics.h"

namespace zr
{

ITextControl::ITextControl(IPlugBase& plug, const IRectangle& rect, const ITextStyle& style,
                           std::string_view text)
    : IControl(plug, rect), text_(text)
{
    SetTextStyle(style);
}

bool ITextControl::Draw(IGraphics& graphics)
{
    return text_.empty() || graphics.DrawIText(TextStyle(), text_, Rect());
}

void ITextControl::ShowPluginText(std::string_view text)
{
    if (text == text_) return;
    MarkDirty(false);
    text_ = text;
}

} // namespace zr
