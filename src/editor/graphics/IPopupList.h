#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zr
{

class IPopupList;

// One entry of a popup list, optionally opening a sub-list of its own.
struct IPopupItem
{
    enum Flags
    {
        kDisabled = 1,
        kTitle = 2, // shown as inactive
        kChecked = 4,
        kSeparator = 8
    };

    std::string text;
    std::unique_ptr<IPopupList> subList;
    int flags = 0;

    bool Enabled() const { return (flags & (kDisabled | kTitle | kSeparator)) == 0; }
};

// A list of items shown as a popup menu; built for one click and freed afterwards. The platform sets
// the chosen index of the list that holds the item the user picked.
class IPopupList
{
public:
    // Numbering prefix 1, 2, 3: items are shown as "%1d: %s", "%02d: %s", "%03d: %s".
    explicit IPopupList(int prefix = 0) : prefix_(prefix) {}

    IPopupItem& AddItem(std::string_view text, int flags = 0);
    void AddSeparator();
    // The new sub-list, owned by the new item.
    IPopupList& AddSubList(std::string_view text);

    int NItems() const { return static_cast<int>(items_.size()); }
    // nullptr for an index out of range.
    const IPopupItem* Item(int index) const;
    IPopupItem* Item(int index);
    // The text as shown, with the numbering prefix.
    std::string ShownText(int index) const;
    int Prefix() const { return prefix_; }

    int ChosenIndex() const { return chosenIndex_; }
    void SetChosenIndex(int index) { chosenIndex_ = index; }

private:
    int prefix_;
    int chosenIndex_ = -1;
    std::vector<IPopupItem> items_;
};

} // namespace zr
