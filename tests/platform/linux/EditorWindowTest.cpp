// The editor window as a host sees it, on a private X server: the built module is loaded, its
// editor opened inside a window of the test's own, driven by XTest input and idle calls.
// The project's headers before X11's, whose macros (None, Bool ...) would clash with their names.
#include <gtest/gtest.h>

#include "editor/graphics/IGraphics.h"
#include "editor/panel/PanelLayout.h"
#include "instrument/ParameterTable.h"
#include "instrument/ZR4400.h"
#include "platform/headless/HeadlessPlatform.h"

#include "EditorSession.h"
#include "XvfbServer.h"
#include "platform/linux/X11MessageBox.h"
#include "platform/linux/X11PopupMenu.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace
{
using zr::panel::ControlKind;
using zr::panel::PanelControl;
using zr::panel::PanelRect;

std::unique_ptr<XvfbServer> server;

class EditorWindowTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        server = std::make_unique<XvfbServer>();
        if (server->Running()) setenv("DISPLAY", server->Name().c_str(), 1);
    }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        if (!server->Running()) GTEST_SKIP() << "Xvfb could not be started";
        errorsBefore_ = EditorSession::XErrors();
    }
    void TearDown() override
    {
        if (server->Running())
        {
            EXPECT_EQ(EditorSession::XErrors(), errorsBefore_);
        }
    }

    // A session with the editor open and the user-interface thread idling.
    std::unique_ptr<EditorSession> OpenSession()
    {
        auto session = std::make_unique<EditorSession>();
        if (!session->Effect() || !session->OpenEditor()) return nullptr;
        session->StartIdle();
        return session;
    }

    int errorsBefore_ = 0;
};

const PanelControl& FirstOf(ControlKind kind, int param = -1000)
{
    for (const PanelControl& control : zr::panel::PanelControls())
    {
        if (control.kind == kind && control.param >= 0 && (param == -1000 || control.param == param))
            return control;
    }
    ADD_FAILURE() << "no such control";
    return zr::panel::PanelControls()[0];
}

int CentreX(const PanelRect& r)
{
    return (r.L + r.R) / 2;
}
int CentreY(const PanelRect& r)
{
    return (r.T + r.B) / 2;
}

std::intptr_t QuietHost(zr::vst::AEffect*, int32_t opcode, int32_t, std::intptr_t, void*, float)
{
    return opcode == zr::vst::audioMasterVersion ? 2400 : 0;
}

// The panel as the headless platform draws it after the same opening, with parameter index set
// to value when index >= 0 (0x00RRGGBB per pixel).
std::vector<uint32_t> HeadlessPanel(int index = -1, float value = 0.0f)
{
    auto* plug = new zr::ZR4400(&QuietHost);
    plug->FillEmptyPresets(zr::ZR4400::kNumPresets);
    zr::vst::AEffect* effect = plug->GetAEffect();
    static int parent = 0;
    effect->dispatcher(effect, zr::vst::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, zr::vst::effEditOpen, 0, 0, &parent, 0.0f);
    if (index >= 0) effect->setParameter(effect, index, value);
    // As the host window's first idle call: the instrument refreshes its lights first.
    effect->dispatcher(effect, zr::vst::effEditIdle, 0, 0, nullptr, 0.0f);
    zr::IGraphics& graphics = plug->GetGraphics();
    zr::IRectangle area;
    graphics.CollectDirty(area);
    graphics.DrawDirty(area);
    const auto& frame = dynamic_cast<zr::HeadlessPlatform&>(graphics.Platform()).Frame();
    std::vector<uint32_t> pixels;
    for (uint32_t pixel : frame)
        pixels.push_back(pixel & 0xFFFFFFu);
    effect->dispatcher(effect, zr::vst::effClose, 0, 0, nullptr, 0.0f);
    return pixels;
}

std::vector<uint32_t> Crop(const std::vector<uint32_t>& panel, const PanelRect& r)
{
    std::vector<uint32_t> part;
    for (int y = r.T; y < r.B; ++y)
    {
        for (int x = r.L; x < r.R; ++x)
            part.push_back(
                panel[static_cast<size_t>(y) * EditorSession::kPanelWidth + static_cast<size_t>(x)]);
    }
    return part;
}

TEST_F(EditorWindowTest, OpensInsideTheHostWindowAtPanelSizeAndTheFirstTickPaintsTheWholePanel)
{
    EditorSession session;
    ASSERT_NE(session.Effect(), nullptr);
    EXPECT_EQ(session.Effect()->flags & zr::vst::effFlagsHasEditor, zr::vst::effFlagsHasEditor);
    zr::vst::ERect* rect = nullptr;
    ASSERT_EQ(session.Dispatch(zr::vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, EditorSession::kPanelWidth);
    EXPECT_EQ(rect->bottom - rect->top, EditorSession::kPanelHeight);

    ASSERT_TRUE(session.OpenEditor());
    const std::vector<Window> children = session.Children();
    ASSERT_EQ(children.size(), 1u);
    int x = -1, y = -1, w = 0, h = 0;
    session.Geometry(children[0], x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, EditorSession::kPanelWidth);
    EXPECT_EQ(h, EditorSession::kPanelHeight);

    // For hosts that hand the window's events on themselves: the event procedure's address.
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom eventProc = XInternAtom(session.GetDisplay(), "_XEventProc", False);
    ASSERT_EQ(XGetWindowProperty(session.GetDisplay(), children[0], eventProc, 0, 4, False, AnyPropertyType,
                                 &type, &format, &items, &after, &data),
              Success);
    EXPECT_EQ(format, 32);
    EXPECT_EQ(items, sizeof(void*) / 4);
    if (data) XFree(data);

    session.Dispatch(zr::vst::effEditIdle);
    const std::vector<uint32_t> shown =
        session.Screenshot(0, 0, EditorSession::kPanelWidth, EditorSession::kPanelHeight);
    const std::vector<uint32_t> expected = HeadlessPanel();
    ASSERT_EQ(shown.size(), expected.size());
    // Where the pictures differ, for the failure message.
    int differing = 0;
    PanelRect box{EditorSession::kPanelWidth, EditorSession::kPanelHeight, 0, 0};
    for (size_t i = 0; i < shown.size(); ++i)
    {
        if (shown[i] == expected[i]) continue;
        ++differing;
        const int px = static_cast<int>(i % EditorSession::kPanelWidth);
        const int py = static_cast<int>(i / EditorSession::kPanelWidth);
        box = {std::min(box.L, px), std::min(box.T, py), std::max(box.R, px + 1), std::max(box.B, py + 1)};
    }
    EXPECT_EQ(differing, 0) << "in " << box.L << "," << box.T << " - " << box.R << "," << box.B;
    session.CloseEditor();
    EXPECT_TRUE(session.Children().empty());
}

TEST_F(EditorWindowTest, AParentWindowThatDoesNotExistOpensNoEditor)
{
    EditorSession session;
    ASSERT_NE(session.Effect(), nullptr);
    EXPECT_EQ(session.Dispatch(zr::vst::effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(session.Dispatch(zr::vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff01})),
              0);
    session.Dispatch(zr::vst::effEditIdle);
    EXPECT_EQ(session.Dispatch(zr::vst::effEditClose), 1);
    ASSERT_TRUE(session.OpenEditor());
    EXPECT_EQ(session.Children().size(), 1u);
}

TEST_F(EditorWindowTest, KnobDragIsOneHostEditFineDragWheelAndDoubleClickRestoreTheDefault)
{
    auto session = OpenSession();
    ASSERT_TRUE(session);
    const PanelControl& knob = FirstOf(ControlKind::Knob);
    const int x = CentreX(knob.rect);
    const int y = CentreY(knob.rect);
    const auto drag = [&](int dy, bool fine)
    {
        session->SetParam(knob.param, 0.5f);
        session->TakeHostEvents();
        if (fine) session->Key(XK_Shift_L, true);
        session->MoveTo(x, y);
        session->Press(1);
        for (int step = 1; step <= 4; ++step)
        {
            session->MoveTo(x, y + dy * step / 4);
            const float before = session->Param(knob.param);
            EditorSession::WaitFor([&] { return session->Param(knob.param) != before; },
                                   std::chrono::milliseconds(500));
        }
        session->Release(1);
        if (fine) session->Key(XK_Shift_L, false);
        // The host hears one edit: its start, the values, its end.
        std::vector<HostEvent> all;
        EXPECT_TRUE(EditorSession::WaitFor(
            [&]
            {
                const auto events = session->TakeHostEvents();
                all.insert(all.end(), events.begin(), events.end());
                return !all.empty() && all.back() == HostEvent{'e', knob.param};
            }));
        if (!all.empty())
        {
            EXPECT_EQ(all.front(), (HostEvent{'b', knob.param}));
            EXPECT_GE(std::count(all.begin(), all.end(), HostEvent{'a', knob.param}), 1);
            EXPECT_EQ(std::count(all.begin(), all.end(), HostEvent{'b', knob.param}), 1);
        }
        return session->Param(knob.param) - 0.5f;
    };
    const float coarse = drag(-40, false);
    const float fine = drag(-40, true);
    EXPECT_GT(std::fabs(coarse), 0.05f);
    EXPECT_GT(std::fabs(fine), 0.0f);
    EXPECT_LT(std::fabs(fine), std::fabs(coarse) / 5.0f);

    session->SetParam(knob.param, 0.5f);
    session->Click(x, y, 4);
    EXPECT_TRUE(
        EditorSession::WaitFor([&] { return std::fabs(session->Param(knob.param) - 0.51f) < 1e-4f; }));
    session->Click(x, y, 6); // horizontal wheel: ignored
    session->Click(x, y, 5);
    EXPECT_TRUE(EditorSession::WaitFor([&] { return std::fabs(session->Param(knob.param) - 0.5f) < 1e-4f; }));

    session->SetParam(knob.param, 0.9f);
    session->Click(x, y);
    session->Click(x, y);
    EXPECT_TRUE(EditorSession::WaitFor([&] { return session->Param(knob.param) < 0.89f; }));
    auto reference = std::make_unique<zr::ZR4400>(&QuietHost);
    const zr::IParameter* param = reference->GetParam(knob.param);
    EXPECT_NEAR(session->Param(knob.param), param->GetNormalized(param->Default()), 1e-6);
}

TEST_F(EditorWindowTest, ClickOnASwitchTogglesItsParameter)
{
    auto session = OpenSession();
    ASSERT_TRUE(session);
    const PanelControl& control = FirstOf(ControlKind::Switch);
    const float before = session->Param(control.param);
    session->Click(CentreX(control.rect), CentreY(control.rect));
    EXPECT_TRUE(EditorSession::WaitFor([&] { return session->Param(control.param) != before; }));
}

// Clicks item `index` of the menu window (items of the full height only, no separators).
void ClickMenuItem(EditorSession& session, Window menu, int index)
{
    int x = 0, y = 0, w = 0, h = 0;
    session.Geometry(menu, x, y, w, h);
    const int itemY = y + zr::X11PopupMenu::kBorder + index * zr::X11PopupMenu::kItemHeight +
                      zr::X11PopupMenu::kItemHeight / 2;
    XTestFakeMotionEvent(session.GetDisplay(), 0, x + w / 2, itemY, CurrentTime);
    XSync(session.GetDisplay(), False);
}

TEST_F(EditorWindowTest, PatchPointMenuChoosesOnTheTopLevelAndInASubmenu)
{
    auto session = OpenSession();
    ASSERT_TRUE(session);
    const PanelControl& plug = FirstOf(ControlKind::Plug2);
    const auto choose = [&](int topItem, int subItem)
    {
        session->Click(CentreX(plug.rect), CentreY(plug.rect));
        std::vector<Window> menus;
        ASSERT_TRUE(EditorSession::WaitFor([&] { return (menus = session->MenuWindows()).size() == 1; }));
        ClickMenuItem(*session, menus[0], topItem);
        if (subItem >= 0)
        {
            // Hovering the item opened its submenu beside it, on top of the stack.
            ASSERT_TRUE(EditorSession::WaitFor([&] { return (menus = session->MenuWindows()).size() == 2; }));
            ClickMenuItem(*session, menus.back(), subItem);
        }
        session->Press(1);
        session->Release(1);
        ASSERT_TRUE(EditorSession::WaitFor([&] { return session->MenuWindows().empty(); }));
    };
    session->TakeHostEvents();
    choose(1, -1); // the second top-level source
    EXPECT_TRUE(EditorSession::WaitFor([&] { return session->ParamDisplay(plug.param) != "off"; }));
    const std::string first = session->ParamDisplay(plug.param);
    choose(2, 3); // the fourth entry of the first group
    EXPECT_TRUE(EditorSession::WaitFor([&] { return session->ParamDisplay(plug.param) != first; }));
    auto reference = std::make_unique<zr::ZR4400>(&QuietHost);
    const zr::IParameter* param = reference->GetParam(plug.param);
    EXPECT_EQ(session->ParamDisplay(plug.param), param->DisplayTexts()[5].text);
    EXPECT_EQ(first, param->DisplayTexts()[1].text);
}

TEST_F(EditorWindowTest, TuneFieldRefusesLettersTakesNegativeDecimalsAndEscapeOrWheelCancel)
{
    auto session = OpenSession();
    ASSERT_TRUE(session);
    const int tune = zr::Param::BlockParamIndex(0, 0);
    const PanelControl& knob = FirstOf(ControlKind::ValueKnob, tune);
    const PanelRect text = zr::panel::ValueKnobTextRect(knob);
    // Each opening clicks elsewhere in the text, so that two openings never make a double click.
    int opening = 0;
    const auto openField = [&]
    {
        session->Click(text.L + 3 + 8 * opening++, CentreY(text));
        // The field covers the value text: wait until its white background shows (its top row
        // is never covered by the selection or the caret).
        ASSERT_TRUE(EditorSession::WaitFor(
            [&] { return session->Screenshot(text.L + 1, text.T, 1, 1)[0] == 0xFFFFFFu; }))
            << [&]
        {
            std::string dump;
            char cell[16];
            const auto px = session->Screenshot(text.L, text.T - 2, text.W(), text.H() + 4);
            for (size_t i = 0; i < px.size(); ++i)
            {
                snprintf(cell, sizeof cell, "%06x%s", px[i], (i + 1) % text.W() ? " " : "\n");
                dump += cell;
            }
            return dump;
        }();
    };
    openField();
    session->TypeText("ab-12.5x");
    session->Tap(XK_Return);
    // -12.5 cents of -100 .. 100.
    EXPECT_TRUE(EditorSession::WaitFor([&] { return std::fabs(session->Param(tune) - 0.4375f) < 1e-6f; }))
        << session->Param(tune);
    const float committed = session->Param(tune);

    openField();
    session->TypeText("40");
    session->Tap(XK_Escape);
    EXPECT_TRUE(EditorSession::WaitFor(
        [&] { return session->Screenshot(text.L + 1, text.T, 1, 1)[0] != 0xFFFFFFu; }));
    EXPECT_EQ(session->Param(tune), committed);

    openField();
    session->TypeText("40");
    session->Click(CentreX(text), CentreY(text), 5);
    EXPECT_TRUE(EditorSession::WaitFor(
        [&] { return session->Screenshot(text.L + 1, text.T, 1, 1)[0] != 0xFFFFFFu; }));
    EXPECT_EQ(session->Param(tune), committed);
}

// Owns the CLIPBOARD selection with text until stopped, answering requests for UTF8_STRING.
class ClipboardOwner
{
public:
    explicit ClipboardOwner(std::string text) : text_(std::move(text)), display_(EditorSession::OpenProbe())
    {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display_, XInternAtom(display_, "CLIPBOARD", False), window_, CurrentTime);
        XSync(display_, False);
        thread_ = std::thread([this] { Serve(); });
    }
    ~ClipboardOwner()
    {
        running_ = false;
        thread_.join();
        XDestroyWindow(display_, window_);
        EditorSession::CloseProbe(display_);
    }

private:
    void Serve()
    {
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        while (running_)
        {
            XEvent event;
            if (!XCheckTypedWindowEvent(display_, window_, SelectionRequest, &event))
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            XSelectionRequestEvent& request = event.xselectionrequest;
            XSelectionEvent answer{};
            answer.type = SelectionNotify;
            answer.requestor = request.requestor;
            answer.selection = request.selection;
            answer.target = request.target;
            answer.time = request.time;
            answer.property = None;
            if (request.target == utf8)
            {
                XChangeProperty(display_, request.requestor, request.property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text_.data()),
                                static_cast<int>(text_.size()));
                answer.property = request.property;
            }
            XSendEvent(display_, request.requestor, False, 0, reinterpret_cast<XEvent*>(&answer));
            XFlush(display_);
        }
    }

    std::string text_;
    Display* display_;
    Window window_ = 0;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

TEST_F(EditorWindowTest, PastingIntoTheTuneFieldTakesTheClipboardThroughTheFilter)
{
    auto session = OpenSession();
    ASSERT_TRUE(session);
    ClipboardOwner clipboard("x-25.5y");
    const int tune = zr::Param::BlockParamIndex(0, 1);
    const PanelRect text = zr::panel::ValueKnobTextRect(FirstOf(ControlKind::ValueKnob, tune));
    session->Click(CentreX(text), CentreY(text));
    ASSERT_TRUE(EditorSession::WaitFor(
        [&] { return session->Screenshot(text.L + 1, text.T, 1, 1)[0] == 0xFFFFFFu; }));
    session->Key(XK_Control_L, true);
    session->Tap(XK_v);
    session->Key(XK_Control_L, false);
    session->Tap(XK_Return);
    // -25.5 cents of -100 .. 100.
    EXPECT_TRUE(EditorSession::WaitFor([&] { return std::fabs(session->Param(tune) - 0.3725f) < 1e-6f; }))
        << session->Param(tune);
}

TEST_F(EditorWindowTest, ALetterKeyThePanelDoesNotTakeReachesTheHostWindow)
{
    auto session = OpenSession();
    ASSERT_TRUE(session);
    session->MoveTo(700, 300);
    XSelectInput(session->GetDisplay(), session->HostWindow(), KeyPressMask);
    // The editor takes the focus once it is shown.
    EditorSession::WaitFor(
        [&]
        {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(session->GetDisplay(), &focus, &revert);
            return focus != session->HostWindow() && focus != PointerRoot && focus != None;
        });
    session->Tap(XK_q);
    XEvent event{};
    EXPECT_TRUE(EditorSession::WaitFor(
        [&] {
            return XCheckTypedWindowEvent(session->GetDisplay(), session->HostWindow(), KeyPress, &event) ==
                   True;
        }));
    EXPECT_EQ(XLookupKeysym(&event.xkey, 0), static_cast<KeySym>(XK_q));
    EXPECT_TRUE(event.xkey.send_event);
}

TEST_F(EditorWindowTest, HostAutomationMovesTheControlOnScreenWithinTwoTimerTicks)
{
    EditorSession session;
    ASSERT_TRUE(session.OpenEditor());
    session.Dispatch(zr::vst::effEditIdle);
    const PanelControl& knob = FirstOf(ControlKind::Knob);
    session.SetParam(knob.param, 0.8f);
    const std::vector<uint32_t> expected = Crop(HeadlessPanel(knob.param, 0.8f), knob.rect);
    // Two ticks of the 40 ms timer, however often the host idles.
    for (int call = 0; call < 2; ++call)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(41));
        session.Dispatch(zr::vst::effEditIdle);
    }
    EXPECT_EQ(session.Screenshot(knob.rect.L, knob.rect.T, knob.rect.W(), knob.rect.H()), expected);
}

TEST_F(EditorWindowTest, OpenCloseReopenFiftyTimesAndTwoInstancesAtOnceLeaveNoWindows)
{
    EditorSession first;
    EditorSession second(0, 0);
    for (int round = 0; round < 50; ++round)
    {
        ASSERT_TRUE(first.OpenEditor());
        ASSERT_TRUE(second.OpenEditor());
        first.Dispatch(zr::vst::effEditIdle);
        second.Dispatch(zr::vst::effEditIdle);
        ASSERT_EQ(first.Children().size(), 1u);
        ASSERT_EQ(second.Children().size(), 1u);
        first.CloseEditor();
        EXPECT_TRUE(first.Children().empty());
        EXPECT_EQ(second.Children().size(), 1u);
        second.CloseEditor();
        EXPECT_TRUE(second.Children().empty());
    }
    // The instance destroyed with its editor open.
    auto third = std::make_unique<EditorSession>();
    ASSERT_TRUE(third->OpenEditor());
    third->Dispatch(zr::vst::effEditIdle);
    third->DestroyInstance();
    EXPECT_TRUE(third->Children().empty());
}

TEST_F(EditorWindowTest, TheHostClosingTheEditorWhileAMenuIsOpenIsSafe)
{
    auto session = OpenSession();
    ASSERT_TRUE(session);
    const PanelControl& plug = FirstOf(ControlKind::Plug2);
    const float before = session->Param(plug.param);
    session->Click(CentreX(plug.rect), CentreY(plug.rect));
    ASSERT_TRUE(EditorSession::WaitFor([&] { return session->MenuWindows().size() == 1; }));
    session->CloseEditor(); // from the host's other thread, while the menu's loop runs
    EXPECT_TRUE(EditorSession::WaitFor(
        [&] { return session->MenuWindows().empty() && session->Children().empty(); }));
    EXPECT_EQ(session->Param(plug.param), before);
    // Reopened afterwards, it works as before.
    ASSERT_TRUE(session->OpenEditor());
    EXPECT_TRUE(EditorSession::WaitFor([&] { return session->Children().size() == 1; }));
}

// The top-level window whose title is title, on display; 0 while there is none.
Window WindowTitled(Display* display, const char* title)
{
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i)
    {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
            XFetchName(display, children[i], &name) && name)
        {
            if (std::string(name) == title) found = children[i];
        }
        if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
}

TEST_F(EditorWindowTest, MessageBoxesAnswerReturnAndEscapeAsTheirTypeSays)
{
    Display* display = EditorSession::OpenProbe();
    ASSERT_NE(display, nullptr);
    const auto answerWith = [&](KeySym key, int type)
    {
        std::thread user(
            [&]
            {
                Display* own = EditorSession::OpenProbe();
                // The box takes the focus once it is shown: the key goes to it.
                EditorSession::WaitFor(
                    [&]
                    {
                        Window focus = 0;
                        int revert = 0;
                        XGetInputFocus(own, &focus, &revert);
                        return WindowTitled(own, "Question") != 0 && focus == WindowTitled(own, "Question");
                    });
                XTestFakeKeyEvent(own, XKeysymToKeycode(own, key), True, CurrentTime);
                XTestFakeKeyEvent(own, XKeysymToKeycode(own, key), False, CurrentTime);
                XSync(own, False);
                XCloseDisplay(own);
            });
        int ticks = 0;
        zr::X11ModalHooks hooks;
        hooks.tick = [&] { ++ticks; };
        const int answer =
            zr::X11MessageBox::Run(display, 0, "First line\n\tindented", "Question", type, hooks);
        user.join();
        EXPECT_EQ(WindowTitled(display, "Question"), 0u);
        return answer;
    };
    EXPECT_EQ(answerWith(XK_Return, zr::IEditorPlatform::kBoxYesNo), zr::IEditorPlatform::kAnswerYes);
    EXPECT_EQ(answerWith(XK_Escape, zr::IEditorPlatform::kBoxYesNo), zr::IEditorPlatform::kAnswerNo);
    EXPECT_EQ(answerWith(XK_Escape, zr::IEditorPlatform::kBoxOk), zr::IEditorPlatform::kAnswerOk);
    EditorSession::CloseProbe(display);
}

} // namespace
