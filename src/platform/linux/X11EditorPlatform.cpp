#include "platform/linux/X11EditorPlatform.h"

#include "editor/graphics/IGraphics.h"
#include "platform/linux/FileDialogCommand.h"
#include "platform/linux/SpawnedProgram.h"
#include "platform/linux/X11EditorWindow.h"

#include <cstdint>

namespace zr
{

namespace
{
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
} // namespace

X11EditorPlatform::X11EditorPlatform(IGraphics& graphics) : graphics_(graphics) {}

X11EditorPlatform::~X11EditorPlatform() = default;

bool X11EditorPlatform::PresentArea(const LICE_IBitmap& surface, const IRectangle& area)
{
    return window_ && window_->Present(surface, area);
}

void X11EditorPlatform::Invalidate(const IRectangle& area)
{
    if (window_) window_->Invalidate(area);
}

void* X11EditorPlatform::OpenEditorWindow(void* parent)
{
    std::lock_guard lock(stateMutex_);
    if (modalDepth_ > 0 || serviceDepth_ > 0) return nullptr;
    IRectangle geometry{0, 0, graphics_.Width(), graphics_.Height()};
    if (window_)
    {
        if (const IRectangle kept = window_->Geometry(); !kept.Empty()) geometry = kept;
        window_.reset();
    }
    closePending_ = false;
    window_ =
        X11EditorWindow::Open(graphics_, static_cast<Window>(reinterpret_cast<uintptr_t>(parent)), geometry);
    return EditorWindowHandle();
}

void X11EditorPlatform::CloseEditorWindow()
{
    std::lock_guard lock(stateMutex_);
    if (!window_) return;
    if (modalDepth_ > 0 || serviceDepth_ > 0)
    {
        window_->Abandon();
        closePending_ = true;
        return;
    }
    window_.reset();
}

void X11EditorPlatform::FinishPendingClose()
{
    if (closePending_ && modalDepth_ == 0 && serviceDepth_ == 0)
    {
        closePending_ = false;
        window_.reset();
    }
}

bool X11EditorPlatform::HasEditorWindow() const
{
    return window_ && !closePending_;
}

void* X11EditorPlatform::EditorWindowHandle() const
{
    return HasEditorWindow() ? reinterpret_cast<void*>(static_cast<uintptr_t>(window_->Handle())) : nullptr;
}

void X11EditorPlatform::ServiceWindow()
{
    X11EditorWindow* window = nullptr;
    {
        std::lock_guard lock(stateMutex_);
        FinishPendingClose();
        if (!window_ || modalDepth_ > 0 || serviceDepth_ > 0) return;
        window = window_.get();
        ++serviceDepth_;
    }
    window->Service();
    std::lock_guard lock(stateMutex_);
    --serviceDepth_;
    FinishPendingClose();
}

void X11EditorPlatform::ReleaseMouseCapture()
{
    if (window_) window_->ReleaseCapture();
}

int X11EditorPlatform::ShowMessageBox(std::string_view text, std::string_view caption, int type)
{
    const int refusal = type == kBoxYesNo ? kAnswerNo : kAnswerOk;
    if (!HasEditorWindow()) return refusal;
    ++modalDepth_;
    const int answer = window_->ShowMessageBox(text, caption, type);
    --modalDepth_;
    return answer;
}

IPopupList* X11EditorPlatform::ShowPopupList(IPopupList& list, const IRectangle& area)
{
    if (!HasEditorWindow()) return nullptr;
    ++modalDepth_;
    IPopupList* chosen = window_->ShowPopupList(list, area);
    --modalDepth_;
    return chosen;
}

void X11EditorPlatform::AskForFile(std::string& file, int action, std::string& directory,
                                   std::string_view extensions)
{
    const std::string initial = file;
    file.clear();
    if (!HasEditorWindow()) return;
    const std::string start = directory.empty() ? DesktopFolder() : directory;
    const bool save = action == kFileSave;
    const bool zenity = !SpawnedProgram::Find("zenity").empty();
    if (!zenity && SpawnedProgram::Find("kdialog").empty()) return;
    const auto args = FileDialogCommand::Build(zenity ? FileDialogCommand::Program::Zenity
                                                      : FileDialogCommand::Program::KDialog,
                                               save, start, initial, extensions);
    ++modalDepth_;
    const auto result = SpawnedProgram::Run(args,
                                            [this]
                                            {
                                                if (window_) window_->ServiceWhileModal();
                                            });
    --modalDepth_;
    if (!result || result->exitStatus != 0) return;
    file = FileDialogCommand::ChosenPath(result->output, save, extensions);
    if (!file.empty()) directory = FolderOf(file);
}

bool X11EditorPlatform::PromptForColor(IArgbColor&, std::string_view)
{
    // Not used by the panel; no colour chooser on this platform.
    return false;
}

bool X11EditorPlatform::OpenWebAddress(std::string_view address, std::string_view title,
                                       std::string_view confirmText, std::string_view errorText)
{
    if (!confirmText.empty() && ShowMessageBox(confirmText, title, kBoxYesNo) != kAnswerYes) return false;
    ++modalDepth_;
    const auto result = SpawnedProgram::Run(
        {"xdg-open", std::string(address)},
        [this]
        {
            if (window_) window_->ServiceWhileModal();
        },
        false);
    --modalDepth_;
    if (result && result->exitStatus == 0) return true;
    if (!errorText.empty()) ShowMessageBox(errorText, title, kBoxOk);
    return false;
}

bool X11EditorPlatform::GetClipboardText(std::string& text)
{
    text.clear();
    return HasEditorWindow() && window_->GetClipboardText(text);
}

void X11EditorPlatform::OpenTextEntry(IControl& control, const ITextStyle& style, const IRectangle& rect,
                                      std::string_view initialText, const IParameter* param)
{
    if (HasEditorWindow()) window_->OpenTextEntry(control, style, rect, initialText, param);
}

void X11EditorPlatform::CancelTextEntry()
{
    if (window_) window_->CancelTextEntry();
}

} // namespace zr
