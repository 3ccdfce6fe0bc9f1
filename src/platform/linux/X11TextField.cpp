#include "platform/linux/X11TextField.h"

#include "editor/draw/LICE_Blit.h"
#include "editor/draw/LICE_CachedFont.h"
#include "editor/graphics/FontCache.h"
#include "editor/graphics/IControl.h"
#include "editor/graphics/TextEntry.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>

namespace zr
{

namespace
{
constexpr uint32_t kSelection = 0xFF9CC3F0;
constexpr int kInset = 2;
} // namespace

X11TextField::X11TextField(IControl& control, const ITextStyle& style, const IRectangle& rect,
                           std::string_view text, const IParameter* param)
    : control_(control), param_(param), style_(style), rect_(rect),
      edit_(text, static_cast<size_t>(std::max(1, control.TextEntryLimit())),
            [param](char32_t c) { return TextEntry::Accepts(param, c); }),
      font_(FontCache::Instance().Get(style.faceName, style.size, style.style == ITextStyle::kBold,
                                      style.style == ITextStyle::kItalic, true)),
      bitmap_(std::max(1, rect.W()), std::max(1, rect.H()))
{
    Render();
}

bool X11TextField::HandleKey(KeySym sym, std::string_view typed, unsigned modifiers,
                             const std::function<std::string()>& paste)
{
    const bool shift = (modifiers & ShiftMask) != 0;
    const bool control = (modifiers & ControlMask) != 0;
    switch (sym)
    {
    case XK_Return:
    case XK_KP_Enter:
        state_ = State::Commit;
        return false;
    case XK_Escape:
        state_ = State::Cancel;
        return false;
    case XK_BackSpace:
        edit_.Backspace();
        break;
    case XK_Delete:
    case XK_KP_Delete:
        edit_.Delete();
        break;
    case XK_Home:
    case XK_KP_Home:
        edit_.Home(shift);
        break;
    case XK_End:
    case XK_KP_End:
        edit_.End(shift);
        break;
    case XK_Left:
    case XK_KP_Left:
        edit_.Left(shift);
        break;
    case XK_Right:
    case XK_KP_Right:
        edit_.Right(shift);
        break;
    default:
        if (control && (sym == XK_a || sym == XK_A))
            edit_.SelectAll();
        else if (control && (sym == XK_v || sym == XK_V))
            edit_.Insert(paste());
        else if (!control && !typed.empty())
            edit_.Insert(typed);
        else
            return false;
        break;
    }
    Render();
    return true;
}

void X11TextField::Click(int x, bool extend)
{
    const int local = x - rect_.L - TextLeft();
    const std::string& text = edit_.Text();
    size_t best = 0;
    int bestDistance = std::abs(local);
    for (size_t pos = 1; pos <= text.size(); ++pos)
    {
        if (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) continue;
        const int distance = std::abs(local - TextWidth(std::string_view(text).substr(0, pos)));
        if (distance < bestDistance)
        {
            best = pos;
            bestDistance = distance;
        }
    }
    edit_.PlaceCaret(best, extend);
    Render();
}

void X11TextField::Commit() const
{
    TextEntry::Commit(control_, param_, edit_.Text());
}

int X11TextField::TextWidth(std::string_view text) const
{
    int w = 0;
    int h = 0;
    if (!font_ || text.empty()) return 0;
    const auto textLock = FontCache::Instance().LockForText();
    font_->DrawText(nullptr, text, 0, 0, 0, 0, 0, 0, true, &w, &h);
    return w;
}

// Where the text starts inside the field: aligned as the style says while it fits, else scrolled
// so that the caret stays visible.
int X11TextField::TextLeft() const
{
    const int inner = bitmap_.Width() - 2 * kInset;
    const int width = TextWidth(edit_.Text());
    if (width <= inner)
    {
        if (style_.align == ITextStyle::kAlignCenter) return kInset + (inner - width) / 2;
        if (style_.align == ITextStyle::kAlignFar) return kInset + inner - width;
        return kInset;
    }
    return kInset - scroll_;
}

void X11TextField::Render()
{
    const int inner = bitmap_.Width() - 2 * kInset;
    const std::string& text = edit_.Text();
    const int caretX = TextWidth(std::string_view(text).substr(0, edit_.Caret()));
    if (TextWidth(text) <= inner)
        scroll_ = 0;
    else
        scroll_ = std::clamp(scroll_, caretX - inner + 1, caretX);
    const int left = TextLeft();
    const int w = bitmap_.Width();
    const int h = bitmap_.Height();
    LICE_FillRect(&bitmap_, 0, 0, w, h, style_.editBackground.Pixel(), 1.0f, LICE_BLIT_MODE_COPY);
    if (edit_.HasSelection())
    {
        const int from = left + TextWidth(std::string_view(text).substr(0, edit_.SelectionStart()));
        const int to = left + TextWidth(std::string_view(text).substr(0, edit_.SelectionEnd()));
        LICE_FillRect(&bitmap_, from, 1, to - from, h - 2, kSelection, 1.0f, LICE_BLIT_MODE_COPY);
    }
    if (font_ && !text.empty())
    {
        const int textW = TextWidth(text) + 4;
        const auto textLock = FontCache::Instance().LockForText();
        font_->DrawText(&bitmap_, text, left, 0, textW, h, style_.editText.Pixel(), 0);
    }
    LICE_FillRect(&bitmap_, left + caretX, 2, 1, h - 4, style_.editText.Pixel(), 1.0f, LICE_BLIT_MODE_COPY);
}

} // namespace zr
