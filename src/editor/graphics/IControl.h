#pragma once

#include "editor/graphics/IBlend.h"
#include "editor/graphics/IMouseState.h"
#include "editor/graphics/IRectangle.h"
#include "editor/graphics/ITextStyle.h"
#include "editor/graphics/KeyCode.h"

#include <string_view>

namespace zr
{

class IGraphics;
class IPlugBase;

// One element of the panel: a rectangle that draws itself, reacts to the mouse and is bound to a
// parameter index (0 .. 228), or to -1 or another negative pseudo-index when it is no parameter's.
// The value is a normalised position 0..1.
//
// Threads: everything runs on the user-interface thread except TakePluginValue, which the plug-in
// calls from the thread of a parameter change; the graphics object and the plug-in both hold the
// instance lock around every call, so values and dirty flags never change under a drawing.
class IControl
{
public:
    static constexpr int kNoParameter = -1;
    static constexpr int kDefaultTextEntryLimit = 7;

    IControl(IPlugBase& plug, const IRectangle& rect, int paramIndex = kNoParameter,
             const IBlend& blend = {});
    virtual ~IControl() = default;
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // ---- Input (the base opens the value entry on a right click) ------------------------------
    virtual void OnMouseDown(int x, int y, const IMouseState& mouse);
    virtual void OnMouseUp(int x, int y, const IMouseState& mouse);
    virtual void OnMouseDrag(int x, int y, int dx, int dy, const IMouseState& mouse);
    // Restores the default value recorded from the first plug-in value, and writes it.
    virtual void OnMouseDoubleClick(int x, int y, const IMouseState& mouse);
    virtual void OnMouseWheel(int x, int y, const IMouseState& mouse, int notches);
    virtual bool OnKeyDown(int x, int y, KeyCode key);
    virtual void OnMouseOver(int x, int y, const IMouseState& mouse);
    virtual void OnMouseOut();

    // Draws into the graphics object's surface; false when drawing failed.
    virtual bool Draw(IGraphics& graphics) = 0;

    // ---- Values -------------------------------------------------------------------------------
    // A value from the plug-in: the first one becomes the default; a different one marks the
    // control dirty without writing it back.
    virtual void TakePluginValue(double value);
    // A value the user chose (popup list, text entry): marks dirty and writes it to the parameter.
    virtual void TakeUserChoice(double value);
    virtual void TakeEnteredText(std::string_view text);

    virtual void Hide(bool hide);
    virtual void SetGreyed(bool greyed);
    virtual bool ContainsPoint(int x, int y) const;
    // Clamps the value; with writeBack and a parameter, the plug-in takes the value.
    virtual void MarkDirty(bool writeBack);
    // Clean unless a redraw is pending, which keeps the control dirty for one more cycle.
    virtual void MarkClean();
    virtual bool NeedsDraw() const { return dirty_; }

    // ---- Fields -------------------------------------------------------------------------------
    IPlugBase& Plug() const { return plug_; }
    // The graphics object the control was added to; nullptr before.
    IGraphics* Graphics() const { return graphics_; }
    void SetGraphics(IGraphics* graphics) { graphics_ = graphics; }

    const IRectangle& Rect() const { return rect_; }
    const IRectangle& TargetRect() const { return targetRect_; }
    void SetTargetRect(const IRectangle& rect) { targetRect_ = rect; }
    int ParamIndex() const { return paramIndex_; }
    double Value() const { return value_; }
    void SetValue(double value) { value_ = value; }
    double DefaultValue() const { return defaultValue_; }
    void SetClamp(double low, double high);
    bool IsHidden() const { return hidden_; }
    bool IsGrayed() const { return grayed_; }
    bool IsDirty() const { return dirty_; }
    bool PromptEnabled() const { return !promptDisabled_; }
    void SetPromptEnabled(bool enabled) { promptDisabled_ = !enabled; }
    bool DoubleClickAsSingle() const { return doubleClickAsSingle_; }
    void SetDoubleClickAsSingle(bool single) { doubleClickAsSingle_ = single; }
    bool MouseOverWhenGrayed() const { return mouseOverWhenGrayed_; }
    void SetMouseOverWhenGrayed(bool accept) { mouseOverWhenGrayed_ = accept; }
    const IBlend& Blend() const { return blend_; }
    ITextStyle& TextStyle() { return textStyle_; }
    const ITextStyle& TextStyle() const { return textStyle_; }
    void SetTextStyle(const ITextStyle& style) { textStyle_ = style; }
    int TextEntryLimit() const { return textEntryLimit_; }
    void SetTextEntryLimit(int limit) { textEntryLimit_ = limit; }

protected:
    // Moves the drawing and hit rectangles (controls whose size comes from their image).
    void SetRect(const IRectangle& rect) { rect_ = targetRect_ = rect; }
    // Opens the value entry of the bound parameter (IGraphics::PromptParamValue).
    void PromptParamValue();

private:
    int textEntryLimit_ = kDefaultTextEntryLimit;
    ITextStyle textStyle_;
    IPlugBase& plug_;
    IGraphics* graphics_ = nullptr;
    IRectangle rect_;
    IRectangle targetRect_;
    int paramIndex_;
    double value_ = 0.0;
    double defaultValue_ = -1.0;
    double clampLow_ = 0.0;
    double clampHigh_ = 1.0;
    bool dirty_ = true;
    bool hidden_ = false;
    bool grayed_ = false;
    bool redrawPending_ = false;
    bool promptDisabled_ = true;
    bool doubleClickAsSingle_ = false;
    bool mouseOverWhenGrayed_ = false;
    IBlend blend_;
};

} // namespace zr
