#pragma once

#include "editor/draw/LICE_MemBitmap.h"
#include "editor/graphics/IRectangle.h"
#include "editor/graphics/ITextStyle.h"
#include "platform/linux/TextFieldEdit.h"

#include <X11/Xlib.h>

#include <string_view>

class LICE_CachedFont;

namespace zr
{

class IControl;
class IParameter;

// The editor's single-line text-entry field, drawn over the panel in the control's style: the text
// with its caret and selection, typing through the parameter's character filter, the editing keys
// and the entry's state (editing until Return, Escape, a click or focus loss asks to finish; the
// editor's timer finishes it on its next tick).
class X11TextField
{
public:
    enum class State
    {
        Idle,
        Editing,
        Update,
        Cancel,
        Commit
    };

    X11TextField(IControl& control, const ITextStyle& style, const IRectangle& rect, std::string_view text,
                 const IParameter* param);

    const IRectangle& Rect() const { return rect_; }
    const LICE_IBitmap& Bitmap() const { return bitmap_; }
    State GetState() const { return state_; }
    void SetState(State state) { state_ = state; }
    const std::string& Text() const { return edit_.Text(); }
    const TextFieldEdit& Edit() const { return edit_; }

    // A key pressed while the field has the focus; true when the field changed (draw again).
    // paste is asked for the clipboard's text on control+V.
    bool HandleKey(KeySym sym, std::string_view typed, unsigned modifiers,
                   const std::function<std::string()>& paste);
    // A button press at panel x inside the field places the caret (with shift, extends).
    void Click(int x, bool extend);
    // Gives the text to the control (as the entry's commit does).
    void Commit() const;
    // Draws the field into its bitmap.
    void Render();

private:
    int TextWidth(std::string_view text) const;
    int TextLeft() const;

    IControl& control_;
    const IParameter* param_;
    ITextStyle style_;
    IRectangle rect_;
    TextFieldEdit edit_;
    LICE_CachedFont* font_;
    LICE_MemBitmap bitmap_;
    State state_ = State::Editing;
    int scroll_ = 0;
};

} // namespace zr
