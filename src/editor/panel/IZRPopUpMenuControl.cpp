#include "editor/panel/IZRPopUpMenuControl.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IPopupList.h"
#include "editor/panel/IZRInfoBubble.h"
#include "editor/panel/PanelTextStyle.h"
#include "plugin/IPlugBase.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

namespace zr
{
namespace
{

// One group of a selector's list: the values first .. last (inclusive, clipped to the list) under the
// title, or on the top level when the title is empty.
struct Group
{
    std::string_view title;
    int first;
    int last;
};

constexpr int kToTheEnd = 1 << 30;
constexpr Group kControllerGroups[] = {
    {"000 - 029", 0, 29}, {"030 - 059", 30, 59}, {"060 - 089", 60, 89}, {"090 - 119", 90, 119}};
constexpr Group kCvGroups[] = {{"", 0, 1}, {"Intern", 2, 13}, {"Extern", 14, 23}, {"MIDI", 24, kToTheEnd}};
constexpr Group kTriggerGroups[] = {{"", 0, 0}, {"Intern", 1, 10}, {"Extern", 11, kToTheEnd}};
constexpr Group kDivisionGroups[] = {{"", 0, 0}, {"4/1 - 1/4", 1, 10}, {"1/8. - 1/64", 11, kToTheEnd}};

std::span<const Group> GroupsOf(int mode)
{
    switch (mode)
    {
    case IZRPopUpMenuControl::kControllers:
        return kControllerGroups;
    case IZRPopUpMenuControl::kCvSources:
        return kCvGroups;
    case IZRPopUpMenuControl::kTriggerSources:
        return kTriggerGroups;
    default:
        return kDivisionGroups;
    }
}

// A list that a returned list may be, with the value of its first item.
struct ListStart
{
    const IPopupList* list;
    int firstValue;
};

} // namespace

IZRPopUpMenuControl::IZRPopUpMenuControl(IPlugBase& plug, int x, int y, int paramIndex,
                                         const IArgbColor& textColor, const IBitmapStrip& offStrip,
                                         const IBitmapStrip& onStrip, int mode, bool copyMenu)
    : IControl(plug, offStrip.FrameRect(x, y), paramIndex), offStrip_(offStrip),
      onStrip_(onStrip), textRect_{Rect().L, Rect().T + 4, Rect().R, Rect().B}, mode_(mode)
{
    SetTextStyle(PanelTextStyle("Tahoma", 11, textColor));
    SetPromptEnabled(true);
    SetDoubleClickAsSingle(true);
    if (copyMenu) copyMenu_ = std::make_unique<IZRContextMenu>(plug, Rect(), paramIndex);
}

std::string IZRPopUpMenuControl::ShownText() const
{
    const IParameter* param = Plug().GetParam(ParamIndex());
    if (!param) return {};
    return param->GetDisplay(mode_ != kControllers);
}

bool IZRPopUpMenuControl::Draw(IGraphics& graphics)
{
    const std::string text = ShownText();
    if (text.empty()) return true;
    if (text == "off") return graphics.DrawBitmap(offStrip_, Rect(), 1, &Blend());
    const bool drawn = graphics.DrawBitmap(onStrip_, Rect(), 1, &Blend());
    return graphics.DrawIText(TextStyle(), text, textRect_) && drawn;
}

void IZRPopUpMenuControl::OnMouseDown(int, int, const IMouseState& mouse)
{
    const IParameter* param = Plug().GetParam(ParamIndex());
    IGraphics* graphics = Graphics();
    if (!param || !graphics) return;
    if (mouse.right && copyMenu_)
    {
        copyMenu_->Open(*graphics);
        return;
    }
    const std::string current = param->GetDisplay(true);
    const std::vector<IParameter::DisplayText>& texts = param->DisplayTexts();
    IPopupList list;
    std::vector<ListStart> starts = {{&list, 0}};
    const int count = static_cast<int>(texts.size());
    for (const Group& group : GroupsOf(mode_))
    {
        if (group.first >= count) break;
        IPopupList* target = &list;
        if (!group.title.empty())
        {
            target = &list.AddSubList(group.title);
            starts.push_back({target, group.first});
        }
        for (int v = group.first; v <= std::min(group.last, count - 1); ++v)
        {
            target->AddItem(texts[v].text, texts[v].text == current ? IPopupItem::kChecked : 0);
        }
    }
    const IPopupList* chosen = graphics->ShowPopupList(list, Rect());
    if (chosen && chosen->ChosenIndex() >= 0)
    {
        for (const ListStart& start : starts)
        {
            if (start.list != chosen) continue;
            const double value = std::clamp(static_cast<double>(start.firstValue + chosen->ChosenIndex()),
                                            param->Min(), param->Max());
            TakeUserChoice(param->GetNormalized(value));
        }
    }
    graphics->MarkAllControlsDirty();
}

void IZRPopUpMenuControl::OnMouseOver(int, int, const IMouseState&)
{
    if (info_ && (mode_ == kCvSources || mode_ == kTriggerSources)) info_->ShowPatchPoint(ParamIndex());
}

} // namespace zr
