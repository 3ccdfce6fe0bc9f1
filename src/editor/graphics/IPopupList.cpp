#include "editor/graphics/IPopupList.h"

#include <cstdio>

namespace zr
{

IPopupItem& IPopupList::AddItem(std::string_view text, int flags)
{
    IPopupItem& item = items_.emplace_back();
    item.text = text;
    item.flags = flags;
    return item;
}

void IPopupList::AddSeparator()
{
    AddItem("", IPopupItem::kSeparator);
}

IPopupList& IPopupList::AddSubList(std::string_view text)
{
    IPopupItem& item = AddItem(text);
    item.subList = std::make_unique<IPopupList>(prefix_);
    return *item.subList;
}

const IPopupItem* IPopupList::Item(int index) const
{
    return index >= 0 && index < NItems() ? &items_[static_cast<size_t>(index)] : nullptr;
}

IPopupItem* IPopupList::Item(int index)
{
    return index >= 0 && index < NItems() ? &items_[static_cast<size_t>(index)] : nullptr;
}

std::string IPopupList::ShownText(int index) const
{
    const IPopupItem* item = Item(index);
    if (!item) return {};
    static constexpr const char* kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
    if (prefix_ < 1 || prefix_ > 3) return item->text;
    char buffer[300];
    std::snprintf(buffer, sizeof buffer, kFormats[prefix_ - 1], index + 1, item->text.c_str());
    return buffer;
}

} // namespace zr
