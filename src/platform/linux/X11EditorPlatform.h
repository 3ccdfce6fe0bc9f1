#pragma once

#include "editor/graphics/IEditorPlatform.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace zr
{

class IGraphics;
class X11EditorWindow;

// The editor platform on Linux: the X11 editor window inside the host's window, its menus, text
// field and questions, the desktop's file dialog and browser, and the folders of this system.
class X11EditorPlatform : public IEditorPlatform
{
public:
    explicit X11EditorPlatform(IGraphics& graphics);
    ~X11EditorPlatform() override;

    bool PresentArea(const LICE_IBitmap& surface, const IRectangle& area) override;
    void Invalidate(const IRectangle& area) override;
    std::string DrawingBackendName() const override { return "X11"; }
    // parent is the host's X11 window id. An open window is closed first and its place kept.
    void* OpenEditorWindow(void* parent) override;
    // During a menu (the host closing from another thread) the window goes when the menu has closed.
    void CloseEditorWindow() override;
    bool HasEditorWindow() const override;
    void* EditorWindowHandle() const override;
    void ServiceWindow() override;
    void ReleaseMouseCapture() override;
    void HideMouse() override {}
    void ShowMouse() override {}
    int ShowMessageBox(std::string_view text, std::string_view caption, int type) override;
    IPopupList* ShowPopupList(IPopupList& list, const IRectangle& area) override;
    void AskForFile(std::string& file, int action, std::string& directory,
                    std::string_view extensions) override;
    bool PromptForColor(IArgbColor& color, std::string_view prompt) override;
    bool OpenWebAddress(std::string_view address, std::string_view title, std::string_view confirmText,
                        std::string_view errorText) override;
    bool GetClipboardText(std::string& text) override;
    void OpenTextEntry(IControl& control, const ITextStyle& style, const IRectangle& rect,
                       std::string_view initialText, const IParameter* param) override;
    void CancelTextEntry() override;

private:
    // Destroys a window whose close was put off while it was busy (caller holds stateMutex_).
    void FinishPendingClose();

    IGraphics& graphics_;
    // Guards window_ and closePending_: the host may close the editor from another thread while
    // the user-interface thread is inside the window (a menu waiting for the user).
    std::mutex stateMutex_;
    std::unique_ptr<X11EditorWindow> window_;
    std::atomic<int> serviceDepth_{0};
    std::atomic<int> modalDepth_{0};
    bool closePending_ = false;
};

} // namespace zr
