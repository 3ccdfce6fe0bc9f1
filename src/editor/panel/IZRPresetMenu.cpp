#include "editor/panel/IZRPresetMenu.h"

#include "editor/graphics/IGraphics.h"
#include "editor/panel/PanelTextStyle.h"
#include "plugin/IPlugBase.h"

#include <cstdio>

namespace zr
{
IZRPresetMenu::IZRPresetMenu(IPlugBase& plug, const IRectangle& numberRect, const IRectangle& nameRect)
    : IControl(plug, numberRect.Union(nameRect)), numberRect_(numberRect), nameRect_(nameRect)
{
    SetTextEntryLimit(kTextEntryLimit);
    SetTextStyle(PanelTextStyle("Arial", 15, {160, 255, 255, 255}));
}

std::string IZRPresetMenu::NumberText() const
{
    char number[16];
    std::snprintf(number, sizeof number, "%02d", Plug().GetCurrentPresetIdx());
    return number;
}

std::string IZRPresetMenu::NameText() const
{
    constexpr size_t kMaxName = 32;
    return std::string(Plug().GetPresetName(Plug().GetCurrentPresetIdx()).substr(0, kMaxName));
}

bool IZRPresetMenu::Draw(IGraphics& graphics)
{
    const std::string number = NumberText();
    if (number.empty()) return true;
    const bool drawn = graphics.DrawIText(TextStyle(), number, numberRect_);
    return graphics.DrawIText(TextStyle(), NameText(), nameRect_) && drawn;
}

} // namespace zr
