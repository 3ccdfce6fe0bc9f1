#include "platform/headless/HeadlessPlatform.h"

#include "editor/draw/LICE_IBitmap.h"
#include "editor/graphics/IPopupList.h"
#include "editor/graphics/TextEntry.h"

#include <algorithm>
#include <climits>

namespace zr
{

namespace
{
// The folder part of path with its trailing separator; "" without one.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The list holding the item at path, with its chosen index set; nullptr for a path that leads
// nowhere or to an item that cannot be chosen.
IPopupList* Follow(IPopupList& list, const std::vector<int>& path, size_t depth)
{
    IPopupItem* item = list.Item(path[depth]);
    if (!item) return nullptr;
    if (depth + 1 < path.size()) return item->subList ? Follow(*item->subList, path, depth + 1) : nullptr;
    if (!item->Enabled() || item->subList) return nullptr;
    list.SetChosenIndex(path[depth]);
    return &list;
}
} // namespace

bool HeadlessPlatform::PresentArea(const LICE_IBitmap& surface, const IRectangle& area)
{
    const int w = surface.Width();
    const int h = surface.Height();
    if (w != frameWidth_ || h != frameHeight_)
    {
        frameWidth_ = w;
        frameHeight_ = h;
        frame_.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    }
    const int left = std::max(area.L, 0);
    const int right = std::min(area.R, w);
    const uint32_t* bits = surface.Bits();
    for (int y = std::max(area.T, 0); y < std::min(area.B, h) && left < right; ++y)
    {
        const uint32_t* row = bits + static_cast<size_t>(y) * static_cast<size_t>(surface.RowSpan());
        std::copy(row + left, row + right, frame_.begin() + static_cast<std::ptrdiff_t>(y) * w + left);
    }
    ++presentCount_;
    lastPresented_ = area;
    return true;
}

uint32_t HeadlessPlatform::FramePixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= frameWidth_ || y >= frameHeight_) return 0;
    return frame_[static_cast<size_t>(y) * static_cast<size_t>(frameWidth_) + static_cast<size_t>(x)];
}

IRectangle HeadlessPlatform::TakeInvalidated()
{
    const IRectangle area = invalidated_;
    invalidated_ = {};
    return area;
}

void* HeadlessPlatform::OpenEditorWindow(void*)
{
    windowOpen_ = true;
    return this;
}

void* HeadlessPlatform::EditorWindowHandle() const
{
    return windowOpen_ ? const_cast<HeadlessPlatform*>(this) : nullptr;
}

int HeadlessPlatform::ShowMessageBox(std::string_view text, std::string_view caption, int type)
{
    messages_.push_back({std::string(text), std::string(caption), type});
    int answer = type == kBoxYesNo ? kAnswerYes : kAnswerOk;
    if (!messageAnswers_.empty())
    {
        answer = messageAnswers_.front();
        messageAnswers_.pop_front();
    }
    return answer;
}

IPopupList* HeadlessPlatform::ShowPopupList(IPopupList& list, const IRectangle& area)
{
    ShownPopup shown{area, {}, -1};
    for (int i = 0; i < list.NItems(); ++i)
    {
        shown.texts.push_back(list.ShownText(i));
        if (shown.checked < 0 && (list.Item(i)->flags & IPopupItem::kChecked)) shown.checked = i;
    }
    popups_.push_back(std::move(shown));
    if (popupAnswers_.empty()) return nullptr;
    const std::vector<int> path = std::move(popupAnswers_.front());
    popupAnswers_.pop_front();
    return path.empty() ? nullptr : Follow(list, path, 0);
}

void HeadlessPlatform::AskForFile(std::string& file, int action, std::string& directory,
                                  std::string_view extensions)
{
    askedFiles_.push_back({action, file, directory, std::string(extensions)});
    std::string chosen;
    if (!fileAnswers_.empty())
    {
        chosen = std::move(fileAnswers_.front());
        fileAnswers_.pop_front();
    }
    file = chosen;
    if (!chosen.empty()) directory = FolderOf(chosen);
}

bool HeadlessPlatform::PromptForColor(IArgbColor&, std::string_view)
{
    return false;
}

bool HeadlessPlatform::OpenWebAddress(std::string_view address, std::string_view title,
                                      std::string_view confirmText, std::string_view)
{
    if (!confirmText.empty() && ShowMessageBox(confirmText, title, kBoxYesNo) != kAnswerYes) return false;
    addresses_.push_back({std::string(address), std::string(title)});
    return true;
}

bool HeadlessPlatform::GetClipboardText(std::string& text)
{
    text = clipboard_;
    return !text.empty();
}

void HeadlessPlatform::OpenTextEntry(IControl& control, const ITextStyle&, const IRectangle& rect,
                                     std::string_view initialText, const IParameter* param)
{
    textEntries_.push_back({rect, std::string(initialText), param != nullptr});
    if (textAnswers_.empty()) return;
    const std::optional<std::string> text = std::move(textAnswers_.front());
    textAnswers_.pop_front();
    if (text) TextEntry::Commit(control, param, *text);
}

} // namespace zr
