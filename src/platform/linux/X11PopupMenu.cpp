#include "platform/linux/X11PopupMenu.h"

#include "editor/draw/LICE_Blit.h"
#include "editor/draw/LICE_CachedFont.h"
#include "editor/graphics/FontCache.h"
#include "editor/graphics/IPopupList.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <chrono>

namespace zr
{

namespace
{
constexpr uint32_t kBackground = 0xFFF2F2F2;
constexpr uint32_t kFrame = 0xFF7A7A7A;
constexpr uint32_t kHighlight = 0xFF3470C8;
constexpr uint32_t kText = 0xFF000000;
constexpr uint32_t kHighlightText = 0xFFFFFFFF;
constexpr uint32_t kGreyText = 0xFF8C8C8C;
constexpr int kTextLeft = 22;
constexpr int kArrowSpace = 20;
constexpr int kMinWidth = 80;
constexpr int kTickMs = 40;

int ItemHeight(const IPopupItem& item)
{
    return (item.flags & IPopupItem::kSeparator) ? X11PopupMenu::kSeparatorHeight : X11PopupMenu::kItemHeight;
}

bool Selectable(const IPopupItem& item)
{
    return item.Enabled() || (item.subList && !(item.flags & IPopupItem::kSeparator));
}
} // namespace

struct X11PopupMenu::Level
{
    IPopupList* list;
    Window window;
    int x, y, w, h;
    int highlighted = -1;
    std::vector<int> tops; // top of each item inside the window
    LICE_MemBitmap bitmap;
    std::unique_ptr<X11Presenter> presenter;

    int ItemAt(int localY) const
    {
        for (int i = 0; i < static_cast<int>(tops.size()); ++i)
        {
            const IPopupItem& item = *list->Item(i);
            if (localY >= tops[static_cast<size_t>(i)] &&
                localY < tops[static_cast<size_t>(i)] + ItemHeight(item))
                return i;
        }
        return -1;
    }
};

X11PopupMenu::X11PopupMenu(Display* display, const Hooks& hooks)
    : display_(display), hooks_(hooks),
      font_(FontCache::Instance().Get("Verdana", kFontHeight, false, false, true))
{
}

X11PopupMenu::~X11PopupMenu()
{
    CloseLevelsAbove(0);
    if (!levels_.empty())
    {
        XDestroyWindow(display_, levels_[0]->window);
        levels_.clear();
    }
    XSync(display_, False);
}

IPopupList* X11PopupMenu::Run(IPopupList& list, int rootX, int rootY)
{
    if (list.NItems() == 0) return nullptr;
    OpenLevel(list, rootX, rootY);
    Window grabWindow = levels_[0]->window;
    XGrabPointer(display_, grabWindow, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(display_, grabWindow, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    bool done = false;
    auto lastTick = std::chrono::steady_clock::now();
    while (!done && !(hooks_.abandon && hooks_.abandon()))
    {
        while (!done && XPending(display_))
        {
            XEvent event;
            XNextEvent(display_, &event);
            done = HandleEvent(event);
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastTick >= std::chrono::milliseconds(kTickMs))
        {
            lastTick = now;
            if (hooks_.tick) hooks_.tick();
        }
        if (done) break;
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, kTickMs / 2);
    }
    XUngrabKeyboard(display_, CurrentTime);
    XUngrabPointer(display_, CurrentTime);
    return done ? chosen_ : nullptr;
}

void X11PopupMenu::OpenLevel(IPopupList& list, int x, int y)
{
    auto level = std::make_unique<Level>();
    level->list = &list;
    int textWidth = 0;
    int top = kBorder;
    {
        const auto textLock = FontCache::Instance().LockForText();
        for (int i = 0; i < list.NItems(); ++i)
        {
            int w = 0;
            int h = 0;
            if (font_ && font_->DrawText(nullptr, list.ShownText(i), 0, 0, 0, 0, kText, 0, true, &w, &h))
                textWidth = std::max(textWidth, w);
            level->tops.push_back(top);
            top += ItemHeight(*list.Item(i));
        }
    }
    level->w = std::max(kMinWidth, kTextLeft + textWidth + kArrowSpace + 2 * kBorder);
    level->h = top + kBorder;
    // Kept on screen: moved left or up as far as needed.
    const Screen* screen = DefaultScreenOfDisplay(display_);
    level->x = std::clamp(x, 0, std::max(0, WidthOfScreen(screen) - level->w));
    level->y = std::clamp(y, 0, std::max(0, HeightOfScreen(screen) - level->h));
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.event_mask =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
    const int screenNumber = DefaultScreen(display_);
    level->window = XCreateWindow(display_, RootWindow(display_, screenNumber), level->x, level->y,
                                  static_cast<unsigned>(level->w), static_cast<unsigned>(level->h), 0,
                                  CopyFromParent, InputOutput, CopyFromParent,
                                  CWOverrideRedirect | CWSaveUnder | CWEventMask, &attributes);
    level->bitmap.Resize(level->w, level->h);
    level->presenter = std::make_unique<X11Presenter>(
        display_, level->window, DefaultVisual(display_, screenNumber), DefaultDepth(display_, screenNumber));
    XMapRaised(display_, level->window);
    levels_.push_back(std::move(level));
    Draw(*levels_.back());
}

void X11PopupMenu::CloseLevelsAbove(size_t depth)
{
    while (levels_.size() > depth + 1)
    {
        XDestroyWindow(display_, levels_.back()->window);
        levels_.pop_back();
    }
}

void X11PopupMenu::Draw(Level& level)
{
    LICE_IBitmap* bitmap = &level.bitmap;
    LICE_FillRect(bitmap, 0, 0, level.w, level.h, kFrame, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_FillRect(bitmap, kBorder, kBorder, level.w - 2 * kBorder, level.h - 2 * kBorder, kBackground, 1.0f,
                  LICE_BLIT_MODE_COPY);
    const auto textLock = FontCache::Instance().LockForText();
    for (int i = 0; i < level.list->NItems(); ++i)
    {
        const IPopupItem& item = *level.list->Item(i);
        const int top = level.tops[static_cast<size_t>(i)];
        const int innerW = level.w - 2 * kBorder;
        if (item.flags & IPopupItem::kSeparator)
        {
            LICE_FillRect(bitmap, kBorder + 4, top + kSeparatorHeight / 2, innerW - 8, 1, kFrame, 1.0f,
                          LICE_BLIT_MODE_COPY);
            continue;
        }
        const bool lit = i == level.highlighted;
        if (lit)
            LICE_FillRect(bitmap, kBorder, top, innerW, kItemHeight, kHighlight, 1.0f, LICE_BLIT_MODE_COPY);
        const uint32_t color = !Selectable(item) ? kGreyText : lit ? kHighlightText : kText;
        if (!font_) continue;
        if (item.flags & IPopupItem::kChecked)
            font_->DrawText(bitmap, "\u2713", kBorder, top, kTextLeft, kItemHeight, color, 1);
        font_->DrawText(bitmap, level.list->ShownText(i), kBorder + kTextLeft, top,
                        innerW - kTextLeft - kArrowSpace, kItemHeight, color, 0);
        if (item.subList)
            font_->DrawText(bitmap, "\u25B8", level.w - kBorder - kArrowSpace, top, kArrowSpace, kItemHeight,
                            color, 1);
    }
    level.presenter->Present(level.bitmap, {0, 0, level.w, level.h}, 0, 0);
}

bool X11PopupMenu::Hit(int rootX, int rootY, size_t& depth, int& item) const
{
    for (size_t d = levels_.size(); d-- > 0;)
    {
        const Level& level = *levels_[d];
        if (rootX >= level.x && rootX < level.x + level.w && rootY >= level.y && rootY < level.y + level.h)
        {
            depth = d;
            item = level.ItemAt(rootY - level.y);
            return true;
        }
    }
    return false;
}

void X11PopupMenu::Hover(int rootX, int rootY)
{
    size_t depth = 0;
    int item = -1;
    if (!Hit(rootX, rootY, depth, item)) return;
    Level& level = *levels_[depth];
    const IPopupItem* hovered = level.list->Item(item);
    const int wanted = hovered && Selectable(*hovered) ? item : -1;
    if (wanted == level.highlighted) return;
    CloseLevelsAbove(depth);
    level.highlighted = wanted;
    Draw(level);
    if (wanted >= 0 && hovered->subList) OpenSubmenuOf(depth);
}

void X11PopupMenu::OpenSubmenuOf(size_t depth)
{
    Level& level = *levels_[depth];
    const IPopupItem* item = level.list->Item(level.highlighted);
    if (!item || !item->subList || item->subList->NItems() == 0) return;
    CloseLevelsAbove(depth);
    IPopupList& sub = *item->subList;
    const int subY = level.y + level.tops[static_cast<size_t>(level.highlighted)] - kBorder;
    OpenLevel(sub, level.x + level.w - 2, subY);
}

void X11PopupMenu::Step(int direction)
{
    Level& level = *levels_.back();
    const int n = level.list->NItems();
    int index = level.highlighted;
    for (int tries = 0; tries < n; ++tries)
    {
        index = index < 0 ? (direction > 0 ? 0 : n - 1) : (index + direction + n) % n;
        if (Selectable(*level.list->Item(index)))
        {
            level.highlighted = index;
            Draw(level);
            return;
        }
    }
}

bool X11PopupMenu::Choose(size_t depth, int item)
{
    Level& level = *levels_[depth];
    const IPopupItem* chosen = level.list->Item(item);
    if (!chosen || !Selectable(*chosen)) return false;
    if (chosen->subList)
    {
        level.highlighted = item;
        OpenSubmenuOf(depth);
        return false;
    }
    level.list->SetChosenIndex(item);
    chosen_ = level.list;
    return true;
}

bool X11PopupMenu::HandleKey(XKeyEvent& key)
{
    const KeySym sym = XLookupKeysym(&key, 0);
    switch (sym)
    {
    case XK_Up:
        Step(-1);
        return false;
    case XK_Down:
        Step(1);
        return false;
    case XK_Right:
        OpenSubmenuOf(levels_.size() - 1);
        if (levels_.size() > 1 && levels_.back()->highlighted < 0) Step(1);
        return false;
    case XK_Left:
        if (levels_.size() > 1) CloseLevelsAbove(levels_.size() - 2);
        return false;
    case XK_Escape:
        if (levels_.size() == 1) return true;
        CloseLevelsAbove(levels_.size() - 2);
        return false;
    case XK_Return:
    case XK_KP_Enter:
        return Choose(levels_.size() - 1, levels_.back()->highlighted);
    default:
        return false;
    }
}

bool X11PopupMenu::HandleEvent(XEvent& event)
{
    size_t depth = 0;
    int item = -1;
    switch (event.type)
    {
    case Expose:
        for (auto& level : levels_)
        {
            if (level->window == event.xexpose.window)
            {
                if (event.xexpose.count == 0) Draw(*level);
                return false;
            }
        }
        break;
    case MotionNotify:
        while (XCheckTypedEvent(display_, MotionNotify, &event))
        {
        }
        Hover(event.xmotion.x_root, event.xmotion.y_root);
        return false;
    case ButtonPress:
        if (event.xbutton.button > 3) return false;
        pressedInside_ = Hit(event.xbutton.x_root, event.xbutton.y_root, depth, item);
        // A press outside every menu window closes the menu.
        return !pressedInside_;
    case ButtonRelease:
        if (event.xbutton.button > 3) return false;
        if (Hit(event.xbutton.x_root, event.xbutton.y_root, depth, item)) return Choose(depth, item);
        return false;
    case KeyPress:
        return HandleKey(event.xkey);
    case KeyRelease:
        return false;
    default:
        break;
    }
    if (hooks_.otherEvent) hooks_.otherEvent(event);
    return false;
}

} // namespace zr
