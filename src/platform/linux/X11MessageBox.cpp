#include "platform/linux/X11MessageBox.h"

#include "editor/draw/LICE_Blit.h"
#include "editor/draw/LICE_CachedFont.h"
#include "editor/draw/LICE_MemBitmap.h"
#include "editor/graphics/FontCache.h"
#include "editor/graphics/IEditorPlatform.h"
#include "platform/linux/X11Presenter.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace zr
{

namespace
{
constexpr int kFontHeight = 13;
constexpr int kLineHeight = 17;
constexpr int kMargin = 16;
constexpr int kButtonW = 80;
constexpr int kButtonH = 24;
constexpr int kButtonGap = 10;
constexpr int kTabWidth = 8;
constexpr uint32_t kBackground = 0xFFF0F0F0;
constexpr uint32_t kButtonFace = 0xFFDADADA;
constexpr uint32_t kButtonFrame = 0xFF707070;
constexpr uint32_t kText = 0xFF000000;

// The text's lines with tabs widened to the next multiple of kTabWidth characters.
std::vector<std::string> Lines(std::string_view text)
{
    std::vector<std::string> lines(1);
    for (char c : text)
    {
        if (c == '\n')
            lines.emplace_back();
        else if (c == '\t')
            lines.back().append(kTabWidth - lines.back().size() % kTabWidth, ' ');
        else if (c != '\r')
            lines.back() += c;
    }
    return lines;
}

struct Button
{
    const char* label;
    int answer;
    int x;
    int y;
    bool Contains(int px, int py) const
    {
        return px >= x && px < x + kButtonW && py >= y && py < y + kButtonH;
    }
};
} // namespace

int X11MessageBox::Run(Display* display, Window owner, std::string_view text, std::string_view caption,
                       int type, const Hooks& hooks)
{
    const bool question = type == IEditorPlatform::kBoxYesNo;
    const int confirm = question ? IEditorPlatform::kAnswerYes : IEditorPlatform::kAnswerOk;
    const int refuse = question ? IEditorPlatform::kAnswerNo : IEditorPlatform::kAnswerOk;
    LICE_CachedFont* font = FontCache::Instance().Get("Verdana", kFontHeight, false, false, true);
    const std::vector<std::string> lines = Lines(text);
    int textW = 0;
    {
        const auto textLock = FontCache::Instance().LockForText();
        for (const std::string& line : lines)
        {
            int w = 0;
            int h = 0;
            if (font && font->DrawText(nullptr, line, 0, 0, 0, 0, kText, 0, true, &w, &h))
                textW = std::max(textW, w);
        }
    }
    std::vector<Button> buttons;
    if (question)
        buttons = {{"Yes", IEditorPlatform::kAnswerYes, 0, 0}, {"No", IEditorPlatform::kAnswerNo, 0, 0}};
    else
        buttons = {{"OK", IEditorPlatform::kAnswerOk, 0, 0}};
    const int buttonsW = static_cast<int>(buttons.size()) * (kButtonW + kButtonGap) - kButtonGap;
    const int w = std::max(textW, buttonsW) + 2 * kMargin;
    const int h = static_cast<int>(lines.size()) * kLineHeight + 3 * kMargin + kButtonH;
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        buttons[i].x = (w - buttonsW) / 2 + static_cast<int>(i) * (kButtonW + kButtonGap);
        buttons[i].y = h - kMargin - kButtonH;
    }

    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.event_mask =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask;
    const int x = std::max(0, (DisplayWidth(display, screen) - w) / 2);
    const int y = std::max(0, (DisplayHeight(display, screen) - h) / 2);
    const Window window = XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(w),
                                        static_cast<unsigned>(h), 0, CopyFromParent, InputOutput,
                                        CopyFromParent, CWEventMask, &attributes);
    if (owner) XSetTransientForHint(display, window, owner);
    const std::string title(caption);
    XStoreName(display, window, title.c_str());
    const Atom deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {deleteAtom};
    XSetWMProtocols(display, window, protocols, 1);
    const Atom typeAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialogAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window, typeAtom, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialogAtom), 1);
    XMapRaised(display, window);

    LICE_MemBitmap bitmap(w, h);
    X11Presenter presenter(display, window, DefaultVisual(display, screen), DefaultDepth(display, screen));
    const auto draw = [&]
    {
        LICE_FillRect(&bitmap, 0, 0, w, h, kBackground, 1.0f, LICE_BLIT_MODE_COPY);
        const auto textLock = FontCache::Instance().LockForText();
        for (size_t i = 0; i < lines.size() && font; ++i)
            font->DrawText(&bitmap, lines[i], kMargin, kMargin + static_cast<int>(i) * kLineHeight, textW + 4,
                           kLineHeight, kText, 0);
        for (const Button& button : buttons)
        {
            LICE_FillRect(&bitmap, button.x, button.y, kButtonW, kButtonH, kButtonFrame, 1.0f,
                          LICE_BLIT_MODE_COPY);
            LICE_FillRect(&bitmap, button.x + 1, button.y + 1, kButtonW - 2, kButtonH - 2, kButtonFace, 1.0f,
                          LICE_BLIT_MODE_COPY);
            if (font) font->DrawText(&bitmap, button.label, button.x, button.y, kButtonW, kButtonH, kText, 1);
        }
        presenter.Present(bitmap, {0, 0, w, h}, 0, 0);
    };

    int answer = 0;
    int pressed = -1;
    auto lastTick = std::chrono::steady_clock::now();
    while (answer == 0)
    {
        if (hooks.abandon && hooks.abandon())
        {
            answer = refuse;
            break;
        }
        while (answer == 0 && XPending(display))
        {
            XEvent event;
            XNextEvent(display, &event);
            if (event.xany.window != window)
            {
                if (hooks.otherEvent) hooks.otherEvent(event);
                continue;
            }
            if (event.type == Expose && event.xexpose.count == 0)
            {
                draw();
                XSetInputFocus(display, window, RevertToParent, CurrentTime);
            }
            else if (event.type == KeyPress)
            {
                const KeySym sym = XLookupKeysym(&event.xkey, 0);
                if (sym == XK_Return || sym == XK_KP_Enter) answer = confirm;
                if (sym == XK_Escape) answer = refuse;
            }
            else if (event.type == ButtonPress || event.type == ButtonRelease)
            {
                for (int i = 0; i < static_cast<int>(buttons.size()); ++i)
                {
                    if (!buttons[static_cast<size_t>(i)].Contains(event.xbutton.x, event.xbutton.y)) continue;
                    if (event.type == ButtonPress)
                        pressed = i;
                    else if (pressed == i)
                        answer = buttons[static_cast<size_t>(i)].answer;
                }
            }
            else if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteAtom)
            {
                answer = refuse;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastTick >= std::chrono::milliseconds(40))
        {
            lastTick = now;
            if (hooks.tick) hooks.tick();
        }
        if (answer == 0)
        {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 20);
        }
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    return answer;
}

} // namespace zr
