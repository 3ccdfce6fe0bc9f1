#pragma once

#include "editor/graphics/IBitmapStrip.h"
#include "editor/graphics/IBlend.h"
#include "editor/graphics/IControl.h"
#include "editor/graphics/IEditorPlatform.h"
#include "editor/graphics/IMouseState.h"
#include "editor/graphics/IRectangle.h"
#include "editor/graphics/ITextStyle.h"
#include "editor/graphics/KeyCode.h"
#include "plugin/IEditorLink.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class LICE_IBitmap;
class LICE_MemBitmap;
class LICE_SysBitmap;
class LICE_CachedFont;

namespace zr
{

class IPlugBase;
class IPopupList;

// The editor panel: the ordered list of controls (index 0 the background, later ones on top), the
// redraw bookkeeping, input dispatch and drawing onto the offscreen surface, which the platform
// presents. It lives as long as the instance; the surfaces exist from PrepareDraw on.
//
// Threads: the user-interface thread does everything but PushParamToControls, which comes from the
// thread of a parameter change with the instance lock held. So the redraw bookkeeping, drawing and
// the control calls of input dispatch also run under the instance lock; the lock is let go while a
// modal menu or dialog is open and while the host hears of the start or end of an edit.
class IGraphics : public IEditorLink
{
public:
    static constexpr int kIdleAfterQuietCalls = 20;
    static constexpr int kNone = -1;
    // Size of the value entry of a parameter without display texts.
    static constexpr int kEntryWidth = 40;
    static constexpr int kEntryHeight = 16;

    IGraphics(IPlugBase& plug, int width, int height, int fps, std::unique_ptr<IEditorPlatform> platform);
    ~IGraphics() override;
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- The plug-in's side ---------------------------------------------------------------------
    // Every control bound to paramIndex takes the value (converted with the parameter's shape first
    // unless normalized). Allocates nothing.
    void PushParamToControls(int paramIndex, double value, bool normalized) override;
    // Creates the offscreen surface of the panel size and the scratch bitmap.
    void PrepareDraw() override;
    // Opens the platform's window inside parent (false without one); the first tick then paints
    // the whole panel.
    bool OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    void ServiceEditorWindow() override;

    // ---- Controls -------------------------------------------------------------------------------
    // Appends the control; returns its index.
    int AddControl(std::unique_ptr<IControl> control);
    // Loads the image (through the bitmap cache) and puts a plain-copy bitmap control covering it
    // at index 0.
    void SetBackgroundImage(int id, std::string_view name);
    // The image of resource id as a vertical strip of nFrames frames; no image when it is missing.
    IBitmapStrip LoadBitmap(int id, std::string_view name, int nFrames = 1);
    int NControls() const { return static_cast<int>(controls_.size()); }
    // nullptr for an index out of range.
    IControl* GetControl(int index) const;
    void MarkAllControlsDirty();

    // ---- Redraw ---------------------------------------------------------------------------------
    // Unites the rects of the dirty controls into area; true when there were any. After more than
    // kIdleAfterQuietCalls quiet calls in a row the plug-in's Idle hook runs and the count restarts.
    bool CollectDirty(IRectangle& area);
    // Draws every visible control meeting area, marks every control clean and presents area.
    bool DrawDirty(const IRectangle& area);

    // ---- Drawing (from the controls' Draw) ---------------------------------------------------------
    // Frame 1..N of strip into dest, clipped to the area being drawn, with blend (nullptr: alpha copy).
    bool DrawBitmap(const IBitmapStrip& strip, const IRectangle& dest, int frame, const IBlend* blend);
    // Text in the style inside rect (unclipped); true for an empty text, false when no font.
    bool DrawIText(ITextStyle& style, std::string_view text, const IRectangle& rect);
    // The rectangle the text would take, aligned in rect as DrawIText would place it.
    bool MeasureText(ITextStyle& style, std::string_view text, IRectangle& rect);

    // ---- Input from the platform (panel coordinates) ------------------------------------------------
    void OnMouseDown(int x, int y, const IMouseState& mouse);
    void OnMouseUp(int x, int y, const IMouseState& mouse);
    void OnMouseDrag(int x, int y, const IMouseState& mouse);
    // True when the control took the capture (a double click delivered as a mouse down).
    bool OnMouseDoubleClick(int x, int y, const IMouseState& mouse);
    void OnMouseWheel(int x, int y, const IMouseState& mouse, int notches);
    // False when mouse-over handling is off.
    bool OnMouseOver(int x, int y, const IMouseState& mouse);
    void OnMouseOut();
    bool OnKeyDown(int x, int y, KeyCode key);

    // Opens the value entry of the control's parameter (when its prompt is enabled): a popup list of
    // the display texts for list parameters, else a text entry. rect: where (nullptr: the default).
    void PromptParamValue(IControl& control, const IRectangle* rect = nullptr);

    // ---- Platform operations for the controls and menus ------------------------------------------
    // The modal ones let go of the instance lock while they are open. ShowPopupList also clears
    // the mouse capture.
    IPopupList* ShowPopupList(IPopupList& list, const IRectangle& area);
    int ShowMessageBox(std::string_view text, std::string_view caption, int type);
    void AskForFile(std::string& file, int action, std::string& directory, std::string_view extensions);
    bool OpenWebAddress(std::string_view address, std::string_view title, std::string_view confirmText,
                        std::string_view errorText);
    // Runs task without the instance lock, as while a dialog is open (a network request).
    void RunWithoutLock(const std::function<void()>& task);
    IEditorPlatform& Platform() const { return *platform_; }
    void SetPlatform(std::unique_ptr<IEditorPlatform> platform);

    // ---- Fields ---------------------------------------------------------------------------------
    IPlugBase& Plug() const { return plug_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int FPS() const { return fps_; }
    // nullptr before PrepareDraw.
    LICE_IBitmap* Surface() const;
    const IRectangle& DrawRect() const { return drawRect_; }
    int CaptureIndex() const { return captureIndex_; }
    int MouseOverIndex() const { return mouseOverIndex_; }
    bool HandlesMouseOver() const { return handleMouseOver_; }
    void SetHandleMouseOver(bool handle) { handleMouseOver_ = handle; }
    // The control offered keys no other control takes; kNone for none.
    void SetKeyCatcher(int index) { keyCatcherIndex_ = index; }

private:
    class UiLock;
    class ModalScope;

    // The topmost control at (x, y) that is neither hidden nor grayed (for mouse-over, grayed
    // controls that accept it count); kNone over nothing.
    int ControlAt(int x, int y, bool forMouseOver = false) const;
    // The captured control, else the one under the mouse.
    int CapturedOrAt(int x, int y) const;
    void ClearCapture();
    void Capture(int index, int x, int y);
    LICE_CachedFont* FontFor(ITextStyle& style);

    std::vector<std::unique_ptr<IControl>> controls_;
    IPlugBase& plug_;
    IRectangle drawRect_;
    std::unique_ptr<LICE_SysBitmap> surface_;
    std::unique_ptr<LICE_MemBitmap> scratch_;
    int width_;
    int height_;
    int fps_;
    int idleTicks_ = 0;
    int captureIndex_ = kNone;
    int mouseOverIndex_ = kNone;
    int lastX_ = -1;
    int lastY_ = -1;
    // The parameter whose edit the host was told of at the last mouse down.
    int editParam_ = kNone;
    bool handleMouseOver_ = false;
    int keyCatcherIndex_ = kNone;
    // How often the user-interface thread holds the instance lock through UiLock.
    int uiLockDepth_ = 0;
    std::unique_ptr<IEditorPlatform> platform_;
};

} // namespace zr
