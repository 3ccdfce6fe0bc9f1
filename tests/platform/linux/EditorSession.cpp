#include "EditorSession.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace
{
struct HostRecord
{
    std::mutex mutex;
    std::vector<HostEvent> events;
};

HostRecord& Record()
{
    static HostRecord record;
    return record;
}

std::intptr_t HostCallback(zr::vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t, void*,
                           float)
{
    constexpr std::int32_t kVersion = 1;
    constexpr std::int32_t kAutomate = 0;
    constexpr std::int32_t kBeginEdit = 43;
    constexpr std::int32_t kEndEdit = 44;
    const char kind = opcode == kAutomate ? 'a' : opcode == kBeginEdit ? 'b' : opcode == kEndEdit ? 'e' : 0;
    if (kind)
    {
        std::lock_guard lock(Record().mutex);
        Record().events.push_back({kind, index});
    }
    return opcode == kVersion ? 2400 : 0;
}

zr::vst::PluginEntryProc Entry()
{
    static void* module = dlopen(ZR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    return module ? reinterpret_cast<zr::vst::PluginEntryProc>(dlsym(module, "VSTPluginMain")) : nullptr;
}

std::atomic<int> testErrors{0};
std::mutex probesMutex;
std::vector<Display*> probes;

// Errors of the probing connections are expected: a window may go between listing and asking.
int CountError(Display* display, XErrorEvent*)
{
    std::lock_guard lock(probesMutex);
    if (std::find(probes.begin(), probes.end(), display) == probes.end()) ++testErrors;
    return 0;
}
} // namespace

EditorSession::EditorSession(int x, int y) : x_(x), y_(y)
{
    static const bool handlerSet = (XSetErrorHandler(CountError), true);
    static_cast<void>(handlerSet);
    display_ = XOpenDisplay(nullptr);
    probe_ = OpenProbe();
    if (!display_) return;
    XSetWindowAttributes attributes{};
    attributes.event_mask = KeyPressMask | KeyReleaseMask | StructureNotifyMask;
    attributes.background_pixel = 0;
    host_ =
        XCreateWindow(display_, DefaultRootWindow(display_), x, y, kPanelWidth, kPanelHeight, 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixel, &attributes);
    XMapWindow(display_, host_);
    XSync(display_, False);
    // The pointer away from the panel, so nothing shows a hover.
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, DisplayWidth(display_, 0) - 2,
                 DisplayHeight(display_, 0) - 2);
    XSync(display_, False);
    if (zr::vst::PluginEntryProc entry = Entry())
    {
        effect_ = entry(&HostCallback);
        if (effect_) Dispatch(zr::vst::effOpen);
    }
}

EditorSession::~EditorSession()
{
    DestroyInstance();
    if (display_)
    {
        XDestroyWindow(display_, host_);
        XCloseDisplay(display_);
    }
    if (probe_) CloseProbe(probe_);
}

std::intptr_t EditorSession::Dispatch(int opcode, int index, std::intptr_t value, void* ptr, float opt)
{
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

bool EditorSession::OpenEditor()
{
    return Dispatch(zr::vst::effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(host_))) == 1;
}

void EditorSession::CloseEditor()
{
    Dispatch(zr::vst::effEditClose);
}

void EditorSession::DestroyInstance()
{
    StopIdle();
    if (effect_) Dispatch(zr::vst::effClose);
    effect_ = nullptr;
}

void EditorSession::StartIdle()
{
    idling_ = true;
    idle_ = std::thread(
        [this]
        {
            while (idling_)
            {
                Dispatch(zr::vst::effEditIdle);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
}

void EditorSession::StopIdle()
{
    idling_ = false;
    if (idle_.joinable()) idle_.join();
}

std::vector<Window> EditorSession::Children() const
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display_, host_, &root, &parent, &children, &count))
    {
        result.assign(children, children + count);
        if (children) XFree(children);
    }
    return result;
}

void EditorSession::MoveTo(int x, int y)
{
    XTestFakeMotionEvent(display_, 0, x_ + x, y_ + y, CurrentTime);
    XSync(display_, False);
}

void EditorSession::Press(int button)
{
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    XSync(display_, False);
}

void EditorSession::Release(int button)
{
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display_, False);
}

void EditorSession::Click(int x, int y, int button)
{
    MoveTo(x, y);
    Press(button);
    Release(button);
}

void EditorSession::Key(unsigned long keysym, bool press)
{
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), press ? True : False, CurrentTime);
    XSync(display_, False);
}

void EditorSession::Tap(unsigned long keysym)
{
    Key(keysym, true);
    Key(keysym, false);
}

void EditorSession::TypeText(const std::string& text)
{
    for (char c : text)
    {
        const char name[2] = {c, 0};
        KeySym sym = XStringToKeysym(name);
        if (c == '-') sym = XK_minus;
        if (c == '.') sym = XK_period;
        Tap(sym);
    }
}

std::string EditorSession::ParamDisplay(int index)
{
    char text[64] = {};
    Dispatch(zr::vst::effGetParamDisplay, index, 0, text);
    return text;
}

std::vector<HostEvent> EditorSession::TakeHostEvents()
{
    std::lock_guard lock(Record().mutex);
    std::vector<HostEvent> events = std::move(Record().events);
    Record().events.clear();
    return events;
}

std::vector<uint32_t> EditorSession::Screenshot(int x, int y, int w, int h) const
{
    std::vector<uint32_t> pixels;
    XSync(display_, False);
    XImage* image = XGetImage(display_, host_, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                              AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int row = 0; row < h; ++row)
    {
        for (int column = 0; column < w; ++column)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu);
    }
    XDestroyImage(image);
    return pixels;
}

Display* EditorSession::OpenProbe()
{
    Display* display = XOpenDisplay(nullptr);
    std::lock_guard lock(probesMutex);
    probes.push_back(display);
    return display;
}

void EditorSession::CloseProbe(Display* display)
{
    XCloseDisplay(display);
    std::lock_guard lock(probesMutex);
    std::erase(probes, display);
}

std::vector<Window> EditorSession::MenuWindows() const
{
    Display* display_ = probe_;
    std::vector<Window> menus;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return menus;
    for (unsigned i = 0; i < count; ++i)
    {
        XWindowAttributes attributes{};
        if (children[i] != host_ && XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable && attributes.override_redirect)
            menus.push_back(children[i]);
    }
    if (children) XFree(children);
    return menus;
}

void EditorSession::Geometry(Window window, int& x, int& y, int& w, int& h) const
{
    Display* display_ = probe_;
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    w = attributes.width;
    h = attributes.height;
}

int EditorSession::XErrors()
{
    return testErrors;
}

bool EditorSession::WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition())
    {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
