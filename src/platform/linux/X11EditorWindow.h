#pragma once

#include "editor/graphics/IRectangle.h"
#include "platform/linux/X11ModalHooks.h"
#include "platform/linux/X11Presenter.h"
#include "platform/linux/X11TextField.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

class LICE_IBitmap;

namespace zr
{

class IControl;
class IGraphics;
class IParameter;
class IPopupList;
struct IMouseState;
struct ITextStyle;

// One open editor: a child window of the host's window on a connection of its own, the events it
// receives turned into the graphics object's input, the 40 ms redraw timer, the text-entry field
// and the modal menus. Everything runs on the host's user-interface thread; Abandon may come from
// another thread and makes a running menu close.
class X11EditorWindow
{
public:
    static constexpr int kTimerMs = 40;

    // nullptr when the display cannot be opened or parent is no window.
    static std::unique_ptr<X11EditorWindow> Open(IGraphics& graphics, Window parent,
                                                 const IRectangle& geometry);
    ~X11EditorWindow();
    X11EditorWindow(const X11EditorWindow&) = delete;
    X11EditorWindow& operator=(const X11EditorWindow&) = delete;

    Window Handle() const { return window_; }
    // Position and size inside the parent.
    IRectangle Geometry() const;
    // Handles every pending event; runs the timer when it is due.
    void Service();
    bool Present(const LICE_IBitmap& surface, const IRectangle& area);
    void Invalidate(const IRectangle& area);
    void ReleaseCapture();
    IPopupList* ShowPopupList(IPopupList& list, const IRectangle& area);
    int ShowMessageBox(std::string_view text, std::string_view caption, int type);
    // While a program of the desktop runs: repaints and runs the timer, the panel's input waits.
    void ServiceWhileModal();
    // Runs operation(hooks) as a modal loop of the editor; afterwards the whole panel repaints.
    template <class Operation> auto RunModal(Operation&& operation)
    {
        ++modalDepth_;
        auto result = operation(ModalHooks());
        --modalDepth_;
        buttonHeld_ = false;
        exposed_ = FullArea();
        return result;
    }
    void OpenTextEntry(IControl& control, const ITextStyle& style, const IRectangle& rect,
                       std::string_view text, const IParameter* param);
    void CancelTextEntry();
    bool GetClipboardText(std::string& text);
    // The window is going away (the host closed the editor during a menu): menus close at once.
    void Abandon() { abandoned_ = true; }
    bool Abandoned() const { return abandoned_; }
    Display* GetDisplay() const { return display_; }

private:
    X11EditorWindow(IGraphics& graphics, Display* display, Window parent);
    bool Create(const IRectangle& geometry);
    void Handle(XEvent& event);
    void Tick();
    // True when the tick ends with the text entry (finished or just repainted).
    bool TickTextEntry();
    void HandleButtonPress(const XButtonEvent& button);
    void HandleButtonRelease(const XButtonEvent& button);
    void HandleMotion(XMotionEvent& motion);
    void HandleKey(XKeyEvent& key);
    void SendKeyToHost(XKeyEvent key);
    void PaintExposed();
    void PresentTextField();
    Window TopLevel();
    bool HasFocus() const;
    X11ModalHooks ModalHooks();
    IRectangle FullArea() const;

    IGraphics& graphics_;
    Display* display_;
    Window parent_;
    Window window_ = 0;
    Window topLevel_ = 0;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    std::unique_ptr<X11Presenter> presenter_;
    std::unique_ptr<X11TextField> field_;
    std::chrono::steady_clock::time_point lastTick_{};
    IRectangle exposed_;
    bool buttonHeld_ = false;
    bool focusTaken_ = false;
    Time lastClickTime_ = 0;
    int lastClickX_ = 0;
    int lastClickY_ = 0;
    int doubleClickMs_ = 400;
    int modalDepth_ = 0;
    std::atomic<bool> abandoned_{false};
};

} // namespace zr
