#pragma once

#include "editor/draw/LICE_MemBitmap.h"
#include "platform/linux/X11Presenter.h"

#include "platform/linux/X11ModalHooks.h"

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <vector>

class LICE_CachedFont;

namespace zr
{

class IPopupList;

// A popup list shown as menu windows of our own (override-redirect, drawn with the drawing
// library): submenus open on hover, check marks, greyed disabled and title items, separators,
// arrows/Return/Escape. Run is modal: a nested event loop on the editor's connection that hands
// every event not for the menu to the editor (so the panel keeps painting) and calls the editor's
// timer between events.
class X11PopupMenu
{
public:
    static constexpr int kItemHeight = 20;
    static constexpr int kSeparatorHeight = 7;
    static constexpr int kBorder = 1;
    static constexpr int kFontHeight = 13;

    using Hooks = X11ModalHooks;

    X11PopupMenu(Display* display, const Hooks& hooks);
    ~X11PopupMenu();
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    // Shows list with its top-left corner at the screen point (kept on screen) and waits for the
    // user. The list holding the chosen item, with its chosen index set; nullptr without a choice.
    IPopupList* Run(IPopupList& list, int rootX, int rootY);

private:
    struct Level;

    void OpenLevel(IPopupList& list, int x, int y);
    void CloseLevelsAbove(size_t depth);
    void Draw(Level& level);
    // The level and item under the screen point; false over none of the menu windows.
    bool Hit(int rootX, int rootY, size_t& depth, int& item) const;
    void Hover(int rootX, int rootY);
    void Step(int direction);
    void OpenSubmenuOf(size_t depth);
    // True when the menu is finished.
    bool Choose(size_t depth, int item);
    bool HandleKey(XKeyEvent& key);
    bool HandleEvent(XEvent& event);

    Display* display_;
    Hooks hooks_;
    LICE_CachedFont* font_;
    std::vector<std::unique_ptr<Level>> levels_;
    IPopupList* chosen_ = nullptr;
    bool pressedInside_ = false;
};

} // namespace zr
