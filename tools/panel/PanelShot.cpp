#include "PanelShot.h"

#include "editor/graphics/IGraphics.h"
#include "instrument/ZR4400.h"
#include "platform/headless/HeadlessPlatform.h"
#include "plugin/VstAbi.h"

#include <png.h>

namespace zr
{
namespace
{

// The host of a picture: it answers nothing but its version.
std::intptr_t QuietHost(vst::AEffect*, int32_t opcode, int32_t, std::intptr_t, void*, float)
{
    constexpr std::intptr_t kHostVersion = 2400;
    return opcode == vst::audioMasterVersion ? kHostVersion : 0;
}

HeadlessPlatform& PlatformOf(ZR4400& plug)
{
    return dynamic_cast<HeadlessPlatform&>(plug.GetGraphics().Platform());
}

} // namespace

PanelShot::PanelShot()
{
    auto* plug = new ZR4400(&QuietHost);
    plug->FillEmptyPresets(ZR4400::kNumPresets);
    effect_ = plug->GetAEffect();
    effect_->dispatcher(effect_, vst::effOpen, 0, 0, nullptr, 0.0f);
    effect_->dispatcher(effect_, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    // The headless window: the lights follow the instrument while it is open.
    static int parent = 0;
    plug->GetGraphics().Platform().OpenEditorWindow(&parent);
}

PanelShot::~PanelShot()
{
    Plug().GetGraphics().Platform().CloseEditorWindow();
    effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
}

ZR4400& PanelShot::Plug() const
{
    return *static_cast<ZR4400*>(effect_->object);
}

void PanelShot::SetParameter(int index, float value)
{
    effect_->setParameter(effect_, index, value);
}

void PanelShot::Hover(int x, int y)
{
    Plug().GetGraphics().OnMouseOver(x, y, {});
}

void PanelShot::Click(int x, int y)
{
    const IMouseState left{true, false, false, false, false};
    Plug().GetGraphics().OnMouseDown(x, y, left);
    Plug().GetGraphics().OnMouseUp(x, y, left);
}

void PanelShot::Drag(int x, int y, int dx, int dy)
{
    const IMouseState left{true, false, false, false, false};
    IGraphics& graphics = Plug().GetGraphics();
    graphics.OnMouseDown(x, y, left);
    graphics.OnMouseDrag(x + dx, y + dy, left);
    graphics.OnMouseUp(x + dx, y + dy, left);
}

std::vector<uint32_t> PanelShot::Draw()
{
    IGraphics& graphics = Plug().GetGraphics();
    graphics.MarkAllControlsDirty();
    IRectangle area;
    if (graphics.CollectDirty(area)) graphics.DrawDirty(area);
    return PlatformOf(Plug()).Frame();
}

int PanelShot::Width() const
{
    return PlatformOf(Plug()).FrameWidth();
}

int PanelShot::Height() const
{
    return PlatformOf(Plug()).FrameHeight();
}

bool WritePanelPng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height)
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * height) return false;
    std::vector<uint8_t> rgb;
    rgb.reserve(pixels.size() * 3);
    for (uint32_t p : pixels)
    {
        rgb.push_back(static_cast<uint8_t>(p >> 16));
        rgb.push_back(static_cast<uint8_t>(p >> 8));
        rgb.push_back(static_cast<uint8_t>(p));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

uint64_t HashPixels(const std::vector<uint32_t>& pixels)
{
    constexpr uint64_t kOffset = 14695981039346656037ULL;
    constexpr uint64_t kPrime = 1099511628211ULL;
    uint64_t hash = kOffset;
    for (uint32_t p : pixels)
    {
        for (int shift : {16, 8, 0})
        {
            hash = (hash ^ ((p >> shift) & 0xffu)) * kPrime;
        }
    }
    return hash;
}

} // namespace zr
