#pragma once

#include "editor/graphics/IEditorPlatform.h"
#include "editor/graphics/IRectangle.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zr
{

// The editor platform without a window: presenting copies the area into a frame of its own, and
// every question, menu, file dialog and text entry takes the next answer of a script that the test
// or tool queued beforehand. What the editor asked is recorded, so a test drives the panel exactly
// as a user would and reads back what the user would have seen.
class HeadlessPlatform : public IEditorPlatform
{
public:
    // A popup list shown, as the user saw it.
    struct ShownPopup
    {
        IRectangle area;
        std::vector<std::string> texts; // top level, with the numbering prefix
        int checked = -1;               // first checked top-level item
    };
    struct ShownMessage
    {
        std::string text;
        std::string caption;
        int type;
    };
    struct OpenedTextEntry
    {
        IRectangle rect;
        std::string initialText;
        bool withParameter;
    };
    struct AskedFile
    {
        int action;
        std::string initialFile;
        std::string directory;
        std::string extensions;
    };
    struct OpenedAddress
    {
        std::string address;
        std::string title;
    };

    // ---- The script -----------------------------------------------------------------------------
    // The next popup list chooses the item at path (indexes into the list, then into sub-lists);
    // an empty path closes the menu without a choice. Without a queued answer menus close.
    void QueuePopupChoice(std::vector<int> path) { popupAnswers_.push_back(std::move(path)); }
    // Without a queued answer a notice answers OK and a question Yes.
    void QueueMessageAnswer(int answer) { messageAnswers_.push_back(answer); }
    // The next file dialog chooses path; an empty path cancels, as does an empty queue.
    void QueueFile(std::string path) { fileAnswers_.push_back(std::move(path)); }
    // The next text entry is committed with text; nullopt cancels, as does an empty queue.
    void QueueText(std::optional<std::string> text) { textAnswers_.push_back(std::move(text)); }
    void SetClipboardText(std::string text) { clipboard_ = std::move(text); }

    // ---- What the editor did ---------------------------------------------------------------------
    // The presented frame: every area presented so far, in the surface's layout (A<<24|R<<16|G<<8|B).
    const std::vector<uint32_t>& Frame() const { return frame_; }
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }
    uint32_t FramePixel(int x, int y) const;
    int PresentCount() const { return presentCount_; }
    const IRectangle& LastPresented() const { return lastPresented_; }
    // Union of the areas invalidated since the last TakeInvalidated.
    IRectangle TakeInvalidated();
    const std::vector<ShownPopup>& Popups() const { return popups_; }
    const std::vector<ShownMessage>& Messages() const { return messages_; }
    const std::vector<OpenedTextEntry>& TextEntries() const { return textEntries_; }
    const std::vector<OpenedAddress>& Addresses() const { return addresses_; }
    int FileDialogs() const { return static_cast<int>(askedFiles_.size()); }
    const std::vector<AskedFile>& AskedFiles() const { return askedFiles_; }
    int CaptureReleases() const { return captureReleases_; }
    bool MouseHidden() const { return mouseHidden_; }

    // ---- IEditorPlatform ----------------------------------------------------------------------------
    bool PresentArea(const LICE_IBitmap& surface, const IRectangle& area) override;
    void Invalidate(const IRectangle& area) override { invalidated_ = invalidated_.Union(area); }
    std::string DrawingBackendName() const override { return {}; }
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override { windowOpen_ = false; }
    bool HasEditorWindow() const override { return windowOpen_; }
    void* EditorWindowHandle() const override;
    void ReleaseMouseCapture() override { ++captureReleases_; }
    void HideMouse() override { mouseHidden_ = true; }
    void ShowMouse() override { mouseHidden_ = false; }
    int ShowMessageBox(std::string_view text, std::string_view caption, int type) override;
    IPopupList* ShowPopupList(IPopupList& list, const IRectangle& area) override;
    void AskForFile(std::string& file, int action, std::string& directory,
                    std::string_view extensions) override;
    // No colour dialog without a window: the colour stays and the answer is a cancel.
    bool PromptForColor(IArgbColor& color, std::string_view prompt) override;
    bool OpenWebAddress(std::string_view address, std::string_view title, std::string_view confirmText,
                        std::string_view errorText) override;
    bool GetClipboardText(std::string& text) override;
    // Commits (or cancels) at once with the next scripted text.
    void OpenTextEntry(IControl& control, const ITextStyle& style, const IRectangle& rect,
                       std::string_view initialText, const IParameter* param) override;
    // Entries finish as they open, so none is ever left to cancel.
    void CancelTextEntry() override {}

private:
    std::vector<uint32_t> frame_;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    int presentCount_ = 0;
    IRectangle lastPresented_;
    IRectangle invalidated_;
    bool windowOpen_ = false;
    bool mouseHidden_ = false;
    int captureReleases_ = 0;
    std::string clipboard_;
    std::deque<std::vector<int>> popupAnswers_;
    std::deque<int> messageAnswers_;
    std::deque<std::string> fileAnswers_;
    std::deque<std::optional<std::string>> textAnswers_;
    std::vector<ShownPopup> popups_;
    std::vector<ShownMessage> messages_;
    std::vector<OpenedTextEntry> textEntries_;
    std::vector<OpenedAddress> addresses_;
    std::vector<AskedFile> askedFiles_;
};

} // namespace zr
