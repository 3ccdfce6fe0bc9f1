#pragma once

#include "editor/draw/LICE_MemBitmap.h"
#include "editor/graphics/IBitmapStrip.h"
#include "editor/graphics/IControl.h"
#include "editor/graphics/IGraphics.h"
#include "platform/headless/HeadlessPlatform.h"
#include "plugin/IPlugBase.h"

#include <array>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

// A plug-in base with four parameters of every kind, recording what it tells the host.
class EditorTestPlug : public zr::IPlugBase
{
public:
    enum : int
    {
        kLevel,  // double 0 .. 100, default 25
        kWave,   // list of four texts, default 1
        kSwitch, // on/off, default off
        kSteps,  // int 0 .. 10, default 3
        kNumParams
    };

    EditorTestPlug()
        : IPlugBase(kNumParams, "0-1 0-2", 1, "Test", "", "Vendor", 0x00010000, 1234, 0, true, true, true)
    {
        GetParam(kLevel)->DefineDouble("Level", 25.0, 0.0, 100.0, 0.01);
        static constexpr std::array<std::string_view, 4> kWaves{"sine", "triangle", "saw", "square"};
        GetParam(kWave)->DefineEnum("Wave", 1.0, kWaves);
        GetParam(kSwitch)->DefineBool("Switch", false);
        GetParam(kSteps)->DefineInt("Steps", 3.0, 0.0, 10.0);
    }

    void ParamChanged(int index) override { changed.push_back(index); }
    void Idle() override { ++idles; }
    void BeginParamEdit(int index) override { edits.emplace_back('b', index); }
    void EndParamEdit(int index) override { edits.emplace_back('e', index); }
    void NotifyHostParamChange(int index, double normalized) override
    {
        automated.emplace_back(index, normalized);
        edits.emplace_back('a', index);
    }
    void NotifyHostProgramChange() override {}
    bool GetHostTime(zr::HostTimeInfo&) override { return false; }
    bool SendMidiToHost(const zr::MidiMessage&) override { return true; }

    std::vector<int> changed;
    std::vector<std::pair<int, double>> automated;
    // ('b', index) begin edit, ('a', index) automation, ('e', index) end edit, in call order.
    std::vector<std::pair<char, int>> edits;
    int idles = 0;
};

// A control that counts how often it is drawn and paints its rect in one colour.
class ProbeControl : public zr::IControl
{
public:
    using IControl::IControl;
    bool Draw(zr::IGraphics&) override
    {
        ++draws;
        return true;
    }
    void OnMouseDown(int x, int y, const zr::IMouseState& mouse) override
    {
        downs.emplace_back(x, y);
        IControl::OnMouseDown(x, y, mouse);
    }
    void OnMouseUp(int x, int y, const zr::IMouseState&) override { ups.emplace_back(x, y); }
    void OnMouseDrag(int, int, int dx, int dy, const zr::IMouseState&) override
    {
        drags.emplace_back(dx, dy);
    }
    void OnMouseWheel(int, int, const zr::IMouseState&, int notches) override { wheel += notches; }
    void OnMouseOver(int, int, const zr::IMouseState&) override { ++overs; }
    void OnMouseOut() override { ++outs; }
    bool OnKeyDown(int, int, zr::KeyCode) override
    {
        ++keys;
        return true;
    }

    int draws = 0;
    std::vector<std::pair<int, int>> downs;
    std::vector<std::pair<int, int>> ups;
    std::vector<std::pair<int, int>> drags;
    int wheel = 0;
    int overs = 0;
    int outs = 0;
    int keys = 0;
};

// A vertical strip of n frames of w x h pixels; frame k (1-based) is filled with colour(k).
inline std::unique_ptr<LICE_MemBitmap> MakeStripImage(int w, int h, int n, uint32_t (*colour)(int frame))
{
    auto image = std::make_unique<LICE_MemBitmap>(w, h * n);
    for (int y = 0; y < h * n; ++y)
    {
        for (int x = 0; x < w; ++x)
            image->Bits()[y * image->RowSpan() + x] = colour(y / h + 1);
    }
    return image;
}

inline zr::IBitmapStrip StripOf(LICE_MemBitmap& image, int n)
{
    return {&image, image.Width(), image.Height(), n, false};
}

// The graphics object of a test plug-in with the headless platform.
struct EditorRig
{
    explicit EditorRig(int width = 200, int height = 100)
        : graphics(plug, width, height, 25, std::make_unique<zr::HeadlessPlatform>()),
          platform(static_cast<zr::HeadlessPlatform&>(graphics.Platform()))
    {
    }

    template <typename Control, typename... Args> Control& Add(Args&&... args)
    {
        auto control = std::make_unique<Control>(plug, std::forward<Args>(args)...);
        Control& result = *control;
        graphics.AddControl(std::move(control));
        return result;
    }

    // Pushes every parameter's value and makes the surfaces, as attaching the editor does.
    void Attach()
    {
        for (int i = 0; i < plug.NParams(); ++i)
            graphics.PushParamToControls(i, plug.GetParam(i)->GetNormalized(), true);
        graphics.PrepareDraw();
    }

    // Collects and draws once, as a timer tick does; the area drawn (empty when nothing was dirty).
    zr::IRectangle Tick()
    {
        zr::IRectangle area;
        if (graphics.CollectDirty(area)) graphics.DrawDirty(area);
        return area;
    }

    EditorTestPlug plug;
    zr::IGraphics graphics;
    zr::HeadlessPlatform& platform;
};
