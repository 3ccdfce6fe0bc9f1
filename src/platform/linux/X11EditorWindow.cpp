#include "platform/linux/X11EditorWindow.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IMouseState.h"
#include "platform/linux/X11ErrorTrap.h"
#include "platform/linux/X11KeyMap.h"
#include "platform/linux/X11MessageBox.h"
#include "platform/linux/X11PopupMenu.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace zr
{

namespace
{
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            FocusChangeMask | StructureNotifyMask;
// How far apart the two presses of a double click may be.
constexpr int kDoubleClickDistance = 4;
constexpr int kDoubleClickMs = 400;
constexpr int kClipboardWaitMs = 1000;

// The open editors of the process, for the event procedure hosts call with our window's events.
struct Registry
{
    std::mutex mutex;
    std::vector<X11EditorWindow*> windows;
};

Registry& OpenWindows()
{
    static Registry registry;
    return registry;
}

// Hosts that read the events of their plug-ins' windows themselves call this for ours: the
// editor then handles what its own connection has received and runs its timer.
void EventProc(XEvent* event)
{
    if (!event) return;
    X11EditorWindow* target = nullptr;
    {
        Registry& registry = OpenWindows();
        std::lock_guard lock(registry.mutex);
        for (X11EditorWindow* window : registry.windows)
        {
            if (window->Handle() == event->xany.window) target = window;
        }
    }
    if (target) target->Service();
}

IMouseState MouseState(unsigned state, unsigned button)
{
    IMouseState mouse;
    mouse.left = button == Button1 || (state & Button1Mask);
    mouse.right = button == Button3 || (state & Button3Mask);
    mouse.shift = (state & ShiftMask) != 0;
    mouse.control = (state & ControlMask) != 0;
    mouse.alt = (state & Mod1Mask) != 0;
    return mouse;
}

// The characters a key press types, as UTF-8 (XLookupString gives Latin-1).
std::string TypedText(XKeyEvent& key, KeySym& sym)
{
    char buffer[32];
    const int n = XLookupString(&key, buffer, sizeof buffer, &sym, nullptr);
    std::string utf8;
    for (int i = 0; i < n; ++i)
    {
        const auto c = static_cast<unsigned char>(buffer[i]);
        if (c < 0x80)
        {
            utf8 += static_cast<char>(c);
        }
        else
        {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}
} // namespace

std::unique_ptr<X11EditorWindow> X11EditorWindow::Open(IGraphics& graphics, Window parent,
                                                       const IRectangle& geometry)
{
    if (parent == 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    X11ErrorTrap::Watch(display);
    std::unique_ptr<X11EditorWindow> window(new X11EditorWindow(graphics, display, parent));
    if (!window->Create(geometry)) return nullptr;
    Registry& registry = OpenWindows();
    std::lock_guard lock(registry.mutex);
    registry.windows.push_back(window.get());
    return window;
}

X11EditorWindow::X11EditorWindow(IGraphics& graphics, Display* display, Window parent)
    : graphics_(graphics), display_(display), parent_(parent), doubleClickMs_(kDoubleClickMs)
{
}

X11EditorWindow::~X11EditorWindow()
{
    {
        Registry& registry = OpenWindows();
        std::lock_guard lock(registry.mutex);
        std::erase(registry.windows, this);
    }
    field_.reset();
    presenter_.reset();
    // Gone already when the host destroyed its window first; the error is counted, not fatal.
    if (window_) XDestroyWindow(display_, window_);
    XSync(display_, False);
    X11ErrorTrap::Forget(display_);
    XCloseDisplay(display_);
}

bool X11EditorWindow::Create(const IRectangle& geometry)
{
    XWindowAttributes parentAttributes{};
    if (!XGetWindowAttributes(display_, parent_, &parentAttributes) || X11ErrorTrap::Errors(display_) > 0)
        return false;
    visual_ = parentAttributes.visual;
    depth_ = parentAttributes.depth;
    XSetWindowAttributes attributes{};
    attributes.event_mask = kEventMask;
    attributes.background_pixmap = None;
    window_ = XCreateWindow(display_, parent_, geometry.L, geometry.T, static_cast<unsigned>(geometry.W()),
                            static_cast<unsigned>(geometry.H()), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
    if (X11ErrorTrap::Errors(display_) > 0)
    {
        window_ = 0;
        return false;
    }
    // The event procedure's address, in 32-bit items as the property's format says.
    const auto address = reinterpret_cast<uintptr_t>(&EventProc);
    long items[sizeof(uintptr_t) / 4];
    for (size_t i = 0; i < sizeof items / sizeof items[0]; ++i)
        items[i] = static_cast<long>((address >> (32 * i)) & 0xFFFFFFFFu);
    const Atom eventProc = XInternAtom(display_, "_XEventProc", False);
    XChangeProperty(display_, window_, eventProc, eventProc, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(items),
                    static_cast<int>(sizeof items / sizeof items[0]));
    XStoreName(display_, window_, "IPlug");
    presenter_ = std::make_unique<X11Presenter>(display_, window_, visual_, depth_);
    XMapWindow(display_, window_);
    XSync(display_, False);
    return true;
}

IRectangle X11EditorWindow::Geometry() const
{
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned w = 0;
    unsigned h = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (!window_ || !XGetGeometry(display_, window_, &root, &x, &y, &w, &h, &border, &depth)) return {};
    return {x, y, x + static_cast<int>(w), y + static_cast<int>(h)};
}

void X11EditorWindow::Service()
{
    if (modalDepth_ > 0) return;
    while (XPending(display_) && modalDepth_ == 0)
    {
        XEvent event;
        XNextEvent(display_, &event);
        Handle(event);
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick_ >= std::chrono::milliseconds(kTimerMs))
    {
        lastTick_ = now;
        Tick();
    }
    if (!exposed_.Empty()) PaintExposed();
}

void X11EditorWindow::Handle(XEvent& event)
{
    if (event.xany.window != window_) return;
    switch (event.type)
    {
    case Expose:
        exposed_ = exposed_.Union({event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                   event.xexpose.y + event.xexpose.height});
        if (!focusTaken_)
        {
            // Viewable now, so the keyboard focus can be taken.
            focusTaken_ = true;
            XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        }
        if (event.xexpose.count == 0) PaintExposed();
        break;
    case ButtonPress:
        HandleButtonPress(event.xbutton);
        break;
    case ButtonRelease:
        HandleButtonRelease(event.xbutton);
        break;
    case MotionNotify:
        HandleMotion(event.xmotion);
        break;
    case LeaveNotify:
        if (!field_ && !buttonHeld_ && event.xcrossing.mode == NotifyNormal) graphics_.OnMouseOut();
        break;
    case KeyPress:
    case KeyRelease:
        HandleKey(event.xkey);
        break;
    case FocusOut:
        if (field_ && field_->GetState() == X11TextField::State::Editing &&
            event.xfocus.mode == NotifyNormal && !HasFocus())
            field_->SetState(X11TextField::State::Commit);
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window_)
        {
            window_ = 0;
            abandoned_ = true;
        }
        break;
    default:
        break;
    }
}

void X11EditorWindow::Tick()
{
    if (!window_ || (field_ && TickTextEntry())) return;
    IRectangle area;
    if (graphics_.CollectDirty(area)) graphics_.DrawDirty(area);
}

bool X11EditorWindow::TickTextEntry()
{
    switch (field_->GetState())
    {
    case X11TextField::State::Editing:
        return true;
    case X11TextField::State::Update:
        field_->SetState(X11TextField::State::Idle);
        return true;
    case X11TextField::State::Commit:
    case X11TextField::State::Cancel:
    {
        const bool commit = field_->GetState() == X11TextField::State::Commit;
        std::unique_ptr<X11TextField> field = std::move(field_);
        if (commit) field->Commit();
        // Where the field was, the panel shows again.
        exposed_ = exposed_.Union(field->Rect());
        return true;
    }
    case X11TextField::State::Idle:
        break;
    }
    return false;
}

void X11EditorWindow::HandleButtonPress(const XButtonEvent& button)
{
    const IMouseState mouse = MouseState(button.state, button.button);
    if (button.button == Button4 || button.button == Button5)
    {
        if (field_)
            field_->SetState(X11TextField::State::Cancel);
        else
            graphics_.OnMouseWheel(button.x, button.y, mouse, button.button == Button4 ? 1 : -1);
        return;
    }
    if (button.button > Button3) return; // horizontal wheel and extra buttons
    if (field_)
    {
        if (button.button == Button1 && field_->Rect().Contains(button.x, button.y))
        {
            field_->Click(button.x, mouse.shift);
            PresentTextField();
        }
        else
        {
            field_->SetState(field_->GetState() == X11TextField::State::Editing
                                 ? X11TextField::State::Cancel
                                 : X11TextField::State::Commit);
        }
        return;
    }
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    const bool doubleClick = button.button == Button1 && lastClickTime_ != 0 &&
                             button.time - lastClickTime_ <= static_cast<Time>(doubleClickMs_) &&
                             std::abs(button.x - lastClickX_) <= kDoubleClickDistance &&
                             std::abs(button.y - lastClickY_) <= kDoubleClickDistance;
    if (doubleClick)
    {
        lastClickTime_ = 0;
        buttonHeld_ = graphics_.OnMouseDoubleClick(button.x, button.y, mouse);
        return;
    }
    if (button.button == Button1)
    {
        lastClickTime_ = button.time;
        lastClickX_ = button.x;
        lastClickY_ = button.y;
    }
    buttonHeld_ = true;
    graphics_.OnMouseDown(button.x, button.y, mouse);
    // A menu opened by the press took its release: the press ends here.
    if (!buttonHeld_) graphics_.OnMouseUp(button.x, button.y, mouse);
}

void X11EditorWindow::HandleButtonRelease(const XButtonEvent& button)
{
    if (button.button != Button1 && button.button != Button3) return;
    buttonHeld_ = false;
    if (field_) return;
    ReleaseCapture();
    graphics_.OnMouseUp(button.x, button.y, MouseState(button.state, button.button));
}

void X11EditorWindow::HandleMotion(XMotionEvent& motion)
{
    while (XCheckTypedWindowEvent(display_, window_, MotionNotify, reinterpret_cast<XEvent*>(&motion)))
    {
    }
    if (field_) return;
    const IMouseState mouse = MouseState(motion.state, 0);
    if (mouse.left || mouse.right)
    {
        if (buttonHeld_) graphics_.OnMouseDrag(motion.x, motion.y, mouse);
        return;
    }
    graphics_.OnMouseOver(motion.x, motion.y, mouse);
}

void X11EditorWindow::HandleKey(XKeyEvent& key)
{
    KeySym sym = NoSymbol;
    const std::string typed = TypedText(key, sym);
    if (field_)
    {
        if (key.type == KeyPress && field_->HandleKey(sym, typed, key.state,
                                                      [this]
                                                      {
                                                          std::string text;
                                                          GetClipboardText(text);
                                                          return text;
                                                      }))
            PresentTextField();
        return;
    }
    if (key.type == KeyPress)
    {
        const std::optional<KeyCode> code = TranslateKey(sym);
        if (code && graphics_.OnKeyDown(key.x, key.y, *code)) return;
    }
    SendKeyToHost(key);
}

// Keys the panel does not take reach the host's top-level window, so its shortcuts keep working.
void X11EditorWindow::SendKeyToHost(XKeyEvent key)
{
    const Window top = TopLevel();
    if (!top) return;
    key.window = top;
    key.subwindow = None;
    XSendEvent(display_, top, True, key.type == KeyPress ? KeyPressMask : KeyReleaseMask,
               reinterpret_cast<XEvent*>(&key));
    XFlush(display_);
}

// Focus events also come while the focus moves inside our window or through the pointer; only the
// server knows whether the focus really went elsewhere.
bool X11EditorWindow::HasFocus() const
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == window_;
}

Window X11EditorWindow::TopLevel()
{
    if (topLevel_ || !window_) return topLevel_;
    Window current = window_;
    for (int depth = 0; depth < 64; ++depth)
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, current, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        if (parent == root || parent == 0)
        {
            topLevel_ = current;
            break;
        }
        current = parent;
    }
    return topLevel_;
}

void X11EditorWindow::PaintExposed()
{
    IRectangle area = exposed_;
    exposed_ = {};
    if (!window_ || area.Empty()) return;
    graphics_.CollectDirty(area);
    graphics_.DrawDirty(area);
}

bool X11EditorWindow::Present(const LICE_IBitmap& surface, const IRectangle& area)
{
    if (!window_ || !presenter_) return false;
    const bool shown = presenter_->Present(surface, area, area.L, area.T);
    if (field_ && field_->Rect().Intersects(area)) PresentTextField();
    return shown;
}

void X11EditorWindow::PresentTextField()
{
    if (!field_ || !presenter_) return;
    const IRectangle& rect = field_->Rect();
    presenter_->Present(field_->Bitmap(), {0, 0, rect.W(), rect.H()}, rect.L, rect.T);
}

void X11EditorWindow::Invalidate(const IRectangle& area)
{
    exposed_ = exposed_.Union(area);
}

void X11EditorWindow::ReleaseCapture()
{
    XUngrabPointer(display_, CurrentTime);
    XFlush(display_);
}

IPopupList* X11EditorWindow::ShowPopupList(IPopupList& list, const IRectangle& area)
{
    if (!window_ || abandoned_) return nullptr;
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), area.L, area.B, &rootX, &rootY,
                          &child);
    IPopupList* chosen = RunModal(
        [&](const X11ModalHooks& hooks)
        {
            X11PopupMenu menu(display_, hooks);
            return menu.Run(list, rootX, rootY);
        });
    return abandoned_ ? nullptr : chosen;
}

int X11EditorWindow::ShowMessageBox(std::string_view text, std::string_view caption, int type)
{
    const Window owner = TopLevel();
    return RunModal([&](const X11ModalHooks& hooks)
                    { return X11MessageBox::Run(display_, owner, text, caption, type, hooks); });
}

X11ModalHooks X11EditorWindow::ModalHooks()
{
    X11ModalHooks hooks;
    // While a menu or box is open the panel only repaints; its input waits for it to close.
    hooks.otherEvent = [this](XEvent& event)
    {
        if (event.type == Expose || event.type == DestroyNotify) Handle(event);
    };
    hooks.tick = [this]
    {
        Tick();
        if (!exposed_.Empty()) PaintExposed();
    };
    hooks.abandon = [this] { return abandoned_.load(); };
    return hooks;
}

void X11EditorWindow::ServiceWhileModal()
{
    const X11ModalHooks hooks = ModalHooks();
    while (XPending(display_))
    {
        XEvent event;
        XNextEvent(display_, &event);
        hooks.otherEvent(event);
    }
    hooks.tick();
}

IRectangle X11EditorWindow::FullArea() const
{
    return {0, 0, graphics_.Width(), graphics_.Height()};
}

void X11EditorWindow::OpenTextEntry(IControl& control, const ITextStyle& style, const IRectangle& rect,
                                    std::string_view text, const IParameter* param)
{
    if (field_ || !window_) return;
    field_ = std::make_unique<X11TextField>(control, style, rect, text, param);
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    PresentTextField();
}

void X11EditorWindow::CancelTextEntry()
{
    if (field_) field_->SetState(X11TextField::State::Cancel);
}

bool X11EditorWindow::GetClipboardText(std::string& text)
{
    text.clear();
    const Atom clipboard = XInternAtom(display_, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    const Atom target = XInternAtom(display_, "ZR_CLIPBOARD", False);
    if (!window_ || XGetSelectionOwner(display_, clipboard) == None) return false;
    XConvertSelection(display_, clipboard, utf8, target, window_, CurrentTime);
    XFlush(display_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kClipboardWaitMs);
    XEvent event;
    while (!XCheckTypedWindowEvent(display_, window_, SelectionNotify, &event))
    {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, 20);
    }
    if (event.xselection.property == None) return false;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, target, 0, 4096, True, AnyPropertyType, &type, &format, &items,
                           &after, &data) != Success)
        return false;
    if (data && format == 8) text.assign(reinterpret_cast<const char*>(data), items);
    if (data) XFree(data);
    return !text.empty();
}

} // namespace zr
