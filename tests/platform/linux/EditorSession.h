#pragma once

#include "plugin/VstAbi.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What the host heard from the plug-in: ('b', index) begin edit, ('a', index) automation,
// ('e', index) end edit, in call order.
struct HostEvent
{
    char kind;
    int index;
    bool operator==(const HostEvent&) const = default;
};

// The built module as a host drives it: loaded with dlopen, created through VSTPluginMain, its
// editor opened in a top-level window of the test's own (on the test's own connection to the
// private X server), effEditIdle called by a user-interface thread every few milliseconds.
// Input comes through XTest on the test's connection. Every wait polls with a generous timeout.
class EditorSession
{
public:
    static constexpr int kPanelWidth = 1480;
    static constexpr int kPanelHeight = 660;
    static constexpr auto kTimeout = std::chrono::seconds(10);

    // Creates an instance and the host window (at x, y of the screen) without opening the editor.
    explicit EditorSession(int x = 0, int y = 0);
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    zr::vst::AEffect* Effect() const { return effect_; }
    Display* GetDisplay() const { return display_; }
    Window HostWindow() const { return host_; }
    std::intptr_t Dispatch(int opcode, int index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                           float opt = 0.0f);

    // effEditOpen with the host window; true when the plug-in says it opened.
    bool OpenEditor();
    void CloseEditor();
    // effClose: the instance is destroyed (with its editor open, if it is).
    void DestroyInstance();
    // The user-interface thread calling effEditIdle until StopIdle.
    void StartIdle();
    void StopIdle();
    // The editor's child windows inside the host window.
    std::vector<Window> Children() const;

    // ---- Input (screen coordinates are panel coordinates plus the host window's place) ----------
    void MoveTo(int x, int y);
    void Press(int button);
    void Release(int button);
    void Click(int x, int y, int button = 1);
    void Key(unsigned long keysym, bool press);
    void Tap(unsigned long keysym);
    void TypeText(const std::string& text);

    // ---- Observation ---------------------------------------------------------------------------
    float Param(int index) const { return effect_->getParameter(effect_, index); }
    void SetParam(int index, float value) { effect_->setParameter(effect_, index, value); }
    std::string ParamDisplay(int index);
    std::vector<HostEvent> TakeHostEvents();
    // The host window's pixels (0x00RRGGBB), row by row.
    std::vector<uint32_t> Screenshot(int x, int y, int w, int h) const;
    // Top-level windows on the screen other than the host's that are mapped and override-redirect
    // (our menus).
    std::vector<Window> MenuWindows() const;
    // The screen rectangle of window: x, y, w, h.
    void Geometry(Window window, int& x, int& y, int& w, int& h) const;
    // Errors the test's own connections saw (not the probing ones).
    static int XErrors();
    // A connection for asking about windows that may go away meanwhile: its errors do not count.
    static Display* OpenProbe();
    static void CloseProbe(Display* display);

    // Polls condition every 5 ms until it holds or the timeout passes.
    static bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kTimeout);

private:
    int x_;
    int y_;
    Display* display_ = nullptr;
    Display* probe_ = nullptr;
    Window host_ = 0;
    zr::vst::AEffect* effect_ = nullptr;
    std::thread idle_;
    std::atomic<bool> idling_{false};
};
