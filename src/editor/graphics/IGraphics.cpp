#include "editor/graphics/IGraphics.h"

#include "editor/draw/LICE_Blit.h"
#include "editor/draw/LICE_CachedFont.h"
#include "editor/draw/LICE_MemBitmap.h"
#include "editor/draw/LICE_SysBitmap.h"
#include "editor/graphics/BitmapCache.h"
#include "editor/graphics/FontCache.h"
#include "editor/graphics/IBitmapControl.h"
#include "editor/graphics/IPopupList.h"
#include "plugin/IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace zr
{

// Holds the instance lock on the user-interface thread and counts how deep, so that a modal
// operation can let go of it.
class IGraphics::UiLock
{
public:
    explicit UiLock(IGraphics& graphics) : graphics_(graphics)
    {
        graphics_.plug_.Mutex().lock();
        ++graphics_.uiLockDepth_;
    }
    ~UiLock()
    {
        --graphics_.uiLockDepth_;
        graphics_.plug_.Mutex().unlock();
    }
    UiLock(const UiLock&) = delete;
    UiLock& operator=(const UiLock&) = delete;

private:
    IGraphics& graphics_;
};

// Lets go of the instance lock the user-interface thread holds through UiLock while a menu or
// dialog is open, so that audio blocks and automation go on, and takes it again afterwards.
class IGraphics::ModalScope
{
public:
    explicit ModalScope(IGraphics& graphics) : graphics_(graphics), depth_(graphics.uiLockDepth_)
    {
        for (int i = 0; i < depth_; ++i)
            graphics_.plug_.Mutex().unlock();
    }
    ~ModalScope()
    {
        for (int i = 0; i < depth_; ++i)
            graphics_.plug_.Mutex().lock();
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    IGraphics& graphics_;
    int depth_;
};

namespace
{
int BlitMode(const IBlend* blend)
{
    switch (blend ? blend->method : IBlend::kNone)
    {
    case IBlend::kClobber:
        return LICE_BLIT_MODE_COPY;
    case IBlend::kAdd:
        return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case IBlend::kColorDodge:
        return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    default:
        return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    }
}

// Offset of frame (1..n) in a strip of the given full length.
int FrameOffset(int length, int frame, int n)
{
    if (frame <= 1 || n < 2) return 0;
    return static_cast<int>(std::lround(static_cast<double>(length) * (frame - 1) / n));
}

IRectangle CenteredRect(const IRectangle& around, int w, int h)
{
    const int x = (around.L + around.R - w) / 2;
    const int y = (around.T + around.B - h) / 2;
    return {x, y, x + w, y + h};
}
} // namespace

IGraphics::IGraphics(IPlugBase& plug, int width, int height, int fps,
                     std::unique_ptr<IEditorPlatform> platform)
    : plug_(plug), width_(width), height_(height), fps_(fps), platform_(std::move(platform))
{
}

// Controls go in list order, before the surfaces.
IGraphics::~IGraphics()
{
    for (auto& control : controls_)
        control.reset();
}

void IGraphics::PushParamToControls(int paramIndex, double value, bool normalized)
{
    if (!normalized)
    {
        const IParameter* param = plug_.GetParam(paramIndex);
        if (!param) return;
        value = param->GetNormalized(value);
    }
    for (auto& control : controls_)
    {
        if (control->ParamIndex() == paramIndex) control->TakePluginValue(value);
    }
}

void IGraphics::PrepareDraw()
{
    surface_ = std::make_unique<LICE_SysBitmap>(width_, height_);
    // Only a destination for measuring text; nothing is drawn into it.
    scratch_ = std::make_unique<LICE_MemBitmap>(1, 1);
}

bool IGraphics::OpenEditorWindow(void* parent)
{
    // Without the host's window there is nothing to open the editor in.
    if (!parent || !surface_ || !platform_->OpenEditorWindow(parent)) return false;
    MarkAllControlsDirty();
    return true;
}

void IGraphics::CloseEditorWindow()
{
    platform_->CloseEditorWindow();
}

void IGraphics::ServiceEditorWindow()
{
    platform_->ServiceWindow();
}

LICE_IBitmap* IGraphics::Surface() const
{
    return surface_.get();
}

int IGraphics::AddControl(std::unique_ptr<IControl> control)
{
    control->SetGraphics(this);
    controls_.push_back(std::move(control));
    return NControls() - 1;
}

void IGraphics::SetBackgroundImage(int id, std::string_view name)
{
    auto background = std::make_unique<IBitmapControl>(plug_, 0, 0, IControl::kNoParameter,
                                                       LoadBitmap(id, name), IBlend{IBlend::kClobber, 1.0f});
    background->SetGraphics(this);
    controls_.insert(controls_.begin(), std::move(background));
}

IBitmapStrip IGraphics::LoadBitmap(int id, std::string_view name, int nFrames)
{
    IBitmapStrip strip;
    strip.image = BitmapCache::Instance().Get(id, name);
    strip.W = strip.image ? strip.image->Width() : 0;
    strip.H = strip.image ? strip.image->Height() : 0;
    strip.N = std::max(1, nFrames);
    return strip;
}

IControl* IGraphics::GetControl(int index) const
{
    return index >= 0 && index < NControls() ? controls_[static_cast<size_t>(index)].get() : nullptr;
}

void IGraphics::MarkAllControlsDirty()
{
    UiLock lock(*this);
    for (auto& control : controls_)
        control->MarkDirty(false);
}

bool IGraphics::CollectDirty(IRectangle& area)
{
    bool dirty = false;
    {
        UiLock lock(*this);
        for (auto& control : controls_)
        {
            if (control->NeedsDraw())
            {
                area = area.Union(control->Rect());
                dirty = true;
            }
        }
    }
    if (dirty)
    {
        idleTicks_ = 0;
        return true;
    }
    if (++idleTicks_ > kIdleAfterQuietCalls)
    {
        idleTicks_ = 0;
        plug_.Idle();
    }
    return false;
}

bool IGraphics::DrawDirty(const IRectangle& area)
{
    if (!surface_) return false;
    bool drawn = true;
    {
        UiLock lock(*this);
        drawRect_ = area;
        for (auto& control : controls_)
        {
            if (!control->IsHidden() && control->Rect().Intersects(area))
                drawn = control->Draw(*this) && drawn;
        }
        for (auto& control : controls_)
            control->MarkClean();
    }
    return platform_->PresentArea(*surface_, area) && drawn;
}

bool IGraphics::DrawBitmap(const IBitmapStrip& strip, const IRectangle& dest, int frame, const IBlend* blend)
{
    if (!strip.image || !surface_) return false;
    const IRectangle clipped = dest.Intersect(drawRect_);
    if (clipped.Empty()) return true;
    const int offsetX = clipped.L - dest.L;
    const int offsetY = clipped.T - dest.T;
    const int srcX = (strip.horizontal ? FrameOffset(strip.W, frame, strip.N) : 0) + offsetX;
    const int srcY = (strip.horizontal ? 0 : FrameOffset(strip.H, frame, strip.N)) + offsetY;
    // Never past the frame into the next one.
    const int w = std::min(clipped.W(), strip.FrameWidth() - offsetX);
    const int h = std::min(clipped.H(), strip.FrameHeight() - offsetY);
    if (w <= 0 || h <= 0) return true;
    LICE_Blit(surface_.get(), strip.image, clipped.L, clipped.T, srcX, srcY, w, h,
              blend ? blend->weight : 1.0f, BlitMode(blend));
    return true;
}

LICE_CachedFont* IGraphics::FontFor(ITextStyle& style)
{
    if (!style.cachedFont)
    {
        style.cachedFont = FontCache::Instance().Get(
            style.faceName, style.size, style.style == ITextStyle::kBold, style.style == ITextStyle::kItalic,
            style.quality != ITextStyle::kQualityNonAntiAliased);
    }
    return style.cachedFont;
}

bool IGraphics::DrawIText(ITextStyle& style, std::string_view text, const IRectangle& rect)
{
    if (text.empty()) return true;
    LICE_CachedFont* font = FontFor(style);
    if (!font || !surface_) return false;
    const auto textLock = FontCache::Instance().LockForText();
    return font->DrawText(surface_.get(), text, rect.L, rect.T, rect.W(), rect.H(), style.color.Pixel(),
                          style.align);
}

bool IGraphics::MeasureText(ITextStyle& style, std::string_view text, IRectangle& rect)
{
    LICE_CachedFont* font = FontFor(style);
    int w = 0;
    int h = 0;
    const auto textLock = FontCache::Instance().LockForText();
    if (!font || !font->DrawText(scratch_.get(), text, rect.L, rect.T, rect.W(), rect.H(),
                                 style.color.Pixel(), style.align, true, &w, &h))
    {
        return false;
    }
    if (style.align == ITextStyle::kAlignCenter)
        rect.L = (rect.L + rect.R - w) / 2;
    else if (style.align == ITextStyle::kAlignFar)
        rect.L = rect.R - w;
    rect.R = rect.L + w;
    rect.B = rect.T + h;
    return true;
}

int IGraphics::ControlAt(int x, int y, bool forMouseOver) const
{
    for (int i = NControls() - 1; i >= 0; --i)
    {
        const IControl& control = *controls_[static_cast<size_t>(i)];
        const bool grayedAccepts = forMouseOver && control.MouseOverWhenGrayed();
        if (!control.IsHidden() && (!control.IsGrayed() || grayedAccepts) && control.ContainsPoint(x, y))
            return i;
    }
    return kNone;
}

int IGraphics::CapturedOrAt(int x, int y) const
{
    return captureIndex_ >= 0 ? captureIndex_ : ControlAt(x, y);
}

void IGraphics::ClearCapture()
{
    captureIndex_ = kNone;
    lastX_ = lastY_ = -1;
}

void IGraphics::Capture(int index, int x, int y)
{
    captureIndex_ = index;
    lastX_ = x;
    lastY_ = y;
}

void IGraphics::OnMouseDown(int x, int y, const IMouseState& mouse)
{
    ClearCapture();
    const int index = ControlAt(x, y);
    if (index < 0) return;
    Capture(index, x, y);
    IControl& control = *controls_[static_cast<size_t>(index)];
    // The host hears of the start of the edit before the first value, without the lock.
    editParam_ = control.ParamIndex() >= 0 ? control.ParamIndex() : kNone;
    if (editParam_ >= 0) plug_.BeginParamEdit(editParam_);
    UiLock lock(*this);
    control.OnMouseDown(x, y, mouse);
}

void IGraphics::OnMouseUp(int x, int y, const IMouseState& mouse)
{
    {
        UiLock lock(*this);
        if (IControl* control = GetControl(CapturedOrAt(x, y))) control->OnMouseUp(x, y, mouse);
    }
    ClearCapture();
    // Only an edit that began is ended, even when a menu took the capture in between.
    if (editParam_ >= 0) plug_.EndParamEdit(editParam_);
    editParam_ = kNone;
}

void IGraphics::OnMouseDrag(int x, int y, const IMouseState& mouse)
{
    IControl* control = GetControl(captureIndex_);
    if (!control || (x == lastX_ && y == lastY_)) return;
    const int dx = x - lastX_;
    const int dy = y - lastY_;
    lastX_ = x;
    lastY_ = y;
    UiLock lock(*this);
    control->OnMouseDrag(x, y, dx, dy, mouse);
}

bool IGraphics::OnMouseDoubleClick(int x, int y, const IMouseState& mouse)
{
    ClearCapture();
    const int index = ControlAt(x, y);
    if (index < 0) return false;
    IControl& control = *controls_[static_cast<size_t>(index)];
    UiLock lock(*this);
    if (!control.DoubleClickAsSingle())
    {
        control.OnMouseDoubleClick(x, y, mouse);
        return false;
    }
    Capture(index, x, y);
    control.OnMouseDown(x, y, mouse);
    return true;
}

void IGraphics::OnMouseWheel(int x, int y, const IMouseState& mouse, int notches)
{
    UiLock lock(*this);
    if (IControl* control = GetControl(CapturedOrAt(x, y))) control->OnMouseWheel(x, y, mouse, notches);
}

bool IGraphics::OnMouseOver(int x, int y, const IMouseState& mouse)
{
    if (!handleMouseOver_) return false;
    const int index = captureIndex_ >= 0 ? captureIndex_ : ControlAt(x, y, true);
    if (index < 0) return true;
    UiLock lock(*this);
    controls_[static_cast<size_t>(index)]->OnMouseOver(x, y, mouse);
    if (IControl* previous = GetControl(mouseOverIndex_); previous && mouseOverIndex_ != index)
        previous->OnMouseOut();
    mouseOverIndex_ = index;
    return true;
}

void IGraphics::OnMouseOut()
{
    UiLock lock(*this);
    for (auto& control : controls_)
        control->OnMouseOut();
    mouseOverIndex_ = kNone;
}

bool IGraphics::OnKeyDown(int x, int y, KeyCode key)
{
    UiLock lock(*this);
    const int index = CapturedOrAt(x, y);
    if (index > 0) return controls_[static_cast<size_t>(index)]->OnKeyDown(x, y, key);
    IControl* catcher = GetControl(keyCatcherIndex_);
    return catcher && catcher->OnKeyDown(x, y, key);
}

void IGraphics::PromptParamValue(IControl& control, const IRectangle* rect)
{
    const IParameter* param = plug_.GetParam(control.ParamIndex());
    if (!control.PromptEnabled() || !param) return;
    const bool hasTexts = !param->DisplayTexts().empty();
    const IRectangle entry = rect       ? *rect
                             : hasTexts ? control.Rect()
                                        : CenteredRect(control.Rect(), kEntryWidth, kEntryHeight);
    const IParameter::Type type = param->GetType();
    if (type == IParameter::Type::Enum || (type == IParameter::Type::Bool && hasTexts))
    {
        IPopupList list;
        const std::string current = param->GetDisplay(true);
        for (const IParameter::DisplayText& text : param->DisplayTexts())
            list.AddItem(text.text, text.text == current ? IPopupItem::kChecked : 0);
        if (IPopupList* chosen = ShowPopupList(list, entry))
        {
            const double value =
                std::clamp(static_cast<double>(chosen->ChosenIndex()), param->Min(), param->Max());
            control.TakeUserChoice(param->GetNormalized(value));
        }
        return;
    }
    platform_->OpenTextEntry(control, control.TextStyle(), entry, param->GetDisplay(false), param);
}

IPopupList* IGraphics::ShowPopupList(IPopupList& list, const IRectangle& area)
{
    ClearCapture();
    ModalScope modal(*this);
    return platform_->ShowPopupList(list, area);
}

int IGraphics::ShowMessageBox(std::string_view text, std::string_view caption, int type)
{
    ModalScope modal(*this);
    return platform_->ShowMessageBox(text, caption, type);
}

void IGraphics::AskForFile(std::string& file, int action, std::string& directory, std::string_view extensions)
{
    ModalScope modal(*this);
    platform_->AskForFile(file, action, directory, extensions);
}

bool IGraphics::OpenWebAddress(std::string_view address, std::string_view title, std::string_view confirmText,
                               std::string_view errorText)
{
    ModalScope modal(*this);
    return platform_->OpenWebAddress(address, title, confirmText, errorText);
}

void IGraphics::RunWithoutLock(const std::function<void()>& task)
{
    ModalScope modal(*this);
    task();
}

void IGraphics::SetPlatform(std::unique_ptr<IEditorPlatform> platform)
{
    platform_ = std::move(platform);
}

} // namespace zr
