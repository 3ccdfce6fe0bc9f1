#include "editor/panel/IZRPresetMenu.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IPopupList.h"
#include "editor/graphics/TextEntry.h"
#include "editor/panel/PanelTextStyle.h"
#include "plugin/Synth.h"

#include <cstdio>
#include <mutex>

namespace zr
{
IZRPresetMenu::IZRPresetMenu(Synth& synth, const IRectangle& numberRect, const IRectangle& nameRect)
    : IControl(synth, numberRect.Union(nameRect)), synth_(synth), numberRect_(numberRect), nameRect_(nameRect)
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

void IZRPresetMenu::OnMouseDown(int x, int y, const IMouseState&)
{
    IGraphics* graphics = Graphics();
    if (!graphics) return;
    if (nameRect_.Contains(x, y))
        graphics->Platform().OpenTextEntry(*this, TextStyle(), nameRect_, NameText(), nullptr);
    else
        OpenProgramList(*graphics);
    graphics->MarkAllControlsDirty();
}

void IZRPresetMenu::TakeEnteredText(std::string_view text)
{
    {
        std::lock_guard<std::recursive_mutex> lock(synth_.Mutex());
        synth_.ModifyCurrentPreset(text.substr(0, TextEntry::kMaxLength));
        synth_.NotifyHostProgramChange();
    }
    synth_.NotifyHostAllParams();
    MarkDirty(false);
}

void IZRPresetMenu::BuildProgramList(IPopupList& list) const
{
    IPopupList* group = nullptr;
    const int current = synth_.GetCurrentPresetIdx();
    for (int i = 0; i < synth_.NPresets(); ++i)
    {
        if (i % kGroupSize == 0)
        {
            char title[32];
            std::snprintf(title, sizeof title, "%02d - %02d", i, i + kGroupSize - 1);
            group = &list.AddSubList(title);
        }
        char item[64];
        const std::string name(synth_.GetPresetName(i));
        std::snprintf(item, sizeof item, "%02u: ", static_cast<unsigned>(i));
        group->AddItem(item + name, i == current ? IPopupItem::kChecked : 0);
    }
}

int IZRPresetMenu::ProgramOf(const IPopupList& list, const IPopupList& chosen)
{
    int first = 0;
    for (int g = 1; g < list.NItems(); ++g)
    {
        const IPopupItem* item = list.Item(g);
        if (item && item->subList.get() == &chosen) first = g * kGroupSize;
    }
    return first + chosen.ChosenIndex();
}

void IZRPresetMenu::OpenProgramList(IGraphics& graphics)
{
    IPopupList list;
    BuildProgramList(list);
    const IPopupList* chosen = graphics.ShowPopupList(list, {Rect().L, Rect().B, Rect().R, Rect().B});
    if (chosen && chosen->ChosenIndex() >= 0) synth_.SelectProgramFromEditor(ProgramOf(list, *chosen));
}

} // namespace zr
