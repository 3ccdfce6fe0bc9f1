// Editor benchmarks: the redraw bookkeeping over a panel-sized control list, a full-panel redraw and
// the redraw of one knob, on the panel's 1480 x 660 surface presented by the headless platform.
#include "editor/draw/LICE_MemBitmap.h"
#include "editor/graphics/IBitmapControl.h"
#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IKnobMultiControl.h"
#include "instrument/ParameterTable.h"
#include "instrument/ZR4400.h"
#include "platform/headless/HeadlessPlatform.h"
#include "plugin/IPlugBase.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

namespace zr
{
namespace
{

constexpr int kWidth = 1480;
constexpr int kHeight = 660;
constexpr int kKnobs = 229;
constexpr int kKnobSize = 40;
constexpr int kFrames = 65;
constexpr int kColumns = 25;
constexpr int kSpacing = 56;

// A plug-in base with one parameter per knob; it tells nobody anything.
class BenchPlug : public IPlugBase
{
public:
    BenchPlug() : IPlugBase(kKnobs, "0-1 0-2", 1, "Bench", "", "Bench", 0x00010000, 1, 0, true, true, true)
    {
        for (int i = 0; i < kKnobs; ++i)
            GetParam(i)->DefineDouble("Knob", 0.5, 0.0, 1.0, 0.001);
    }
    void BeginParamEdit(int) override {}
    void EndParamEdit(int) override {}
    void NotifyHostParamChange(int, double) override {}
    void NotifyHostProgramChange() override {}
    bool GetHostTime(HostTimeInfo&) override { return false; }
    bool SendMidiToHost(const MidiMessage&) override { return true; }
};

// Knob frames as the panel's are: an opaque disc with soft edges on transparent corners.
std::unique_ptr<LICE_MemBitmap> KnobStrip()
{
    auto image = std::make_unique<LICE_MemBitmap>(kKnobSize, kKnobSize * kFrames);
    const double radius = kKnobSize / 2.0;
    for (int y = 0; y < image->Height(); ++y)
    {
        for (int x = 0; x < kKnobSize; ++x)
        {
            const double d = std::hypot(x + 0.5 - radius, (y % kKnobSize) + 0.5 - radius);
            const double alpha = std::clamp(radius - d, 0.0, 1.0);
            const auto a = static_cast<uint32_t>(alpha * 255.0);
            image->Bits()[y * image->RowSpan() + x] =
                a << 24 | 0x404040u | static_cast<uint32_t>(y / kKnobSize);
        }
    }
    return image;
}

std::unique_ptr<LICE_MemBitmap> Background()
{
    auto image = std::make_unique<LICE_MemBitmap>(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image->Bits()[y * image->RowSpan() + x] = 0xff000000u | static_cast<uint32_t>((x ^ y) & 0xff)
                                                                        << 8;
    return image;
}

struct PanelRig
{
    PanelRig() : graphics(plug, kWidth, kHeight, 25, std::make_unique<HeadlessPlatform>())
    {
        graphics.AddControl(std::make_unique<IBitmapControl>(
            plug, 0, 0, IControl::kNoParameter, IBitmapStrip{back.get(), kWidth, kHeight, 1, false},
            IBlend{IBlend::kClobber, 1.0f}));
        const IBitmapStrip strip{knob.get(), kKnobSize, kKnobSize * kFrames, kFrames, false};
        for (int i = 0; i < kKnobs; ++i)
        {
            graphics.AddControl(std::make_unique<IKnobMultiControl>(
                plug, 20 + (i % kColumns) * kSpacing, 40 + (i / kColumns) * kSpacing, i, strip));
        }
        for (int i = 0; i < kKnobs; ++i)
            graphics.PushParamToControls(i, 0.5, true);
        graphics.PrepareDraw();
        Redraw();
    }
    bool Redraw()
    {
        IRectangle area;
        return graphics.CollectDirty(area) && graphics.DrawDirty(area);
    }

    std::unique_ptr<LICE_MemBitmap> back = Background();
    std::unique_ptr<LICE_MemBitmap> knob = KnobStrip();
    BenchPlug plug;
    IGraphics graphics;
};

void BM_CollectDirtyQuietPanel(benchmark::State& state)
{
    PanelRig rig;
    for (auto _ : state)
    {
        IRectangle area;
        benchmark::DoNotOptimize(rig.graphics.CollectDirty(area));
    }
    state.counters["controls"] = rig.graphics.NControls();
}
BENCHMARK(BM_CollectDirtyQuietPanel);

void BM_DrawDirtyFullPanel(benchmark::State& state)
{
    PanelRig rig;
    for (auto _ : state)
    {
        rig.graphics.MarkAllControlsDirty();
        benchmark::DoNotOptimize(rig.Redraw());
    }
}
BENCHMARK(BM_DrawDirtyFullPanel)->Unit(benchmark::kMicrosecond);

void BM_OneKnobRedraw(benchmark::State& state)
{
    PanelRig rig;
    IControl& knob = *rig.graphics.GetControl(100);
    int n = 0;
    for (auto _ : state)
    {
        knob.SetValue((++n % 64) / 64.0);
        knob.MarkDirty(false);
        benchmark::DoNotOptimize(rig.Redraw());
    }
}
BENCHMARK(BM_OneKnobRedraw)->Unit(benchmark::kMicrosecond);

// The instrument's own panel: an instance made as the module's entry makes it, its settings in a
// private temporary home.
struct InstanceRig
{
    static std::intptr_t NoHost(vst::AEffect*, std::int32_t, std::int32_t, std::intptr_t, void*, float)
    {
        return 0;
    }
    static bool PrivateHome()
    {
        static char folder[] = "/tmp/zr4400-editor-bench-XXXXXX";
        if (!mkdtemp(folder)) return false;
        const std::string home = folder;
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        return true;
    }
    InstanceRig()
        : home(PrivateHome()), plug(std::make_unique<ZR4400>(&NoHost)), graphics(plug->GetGraphics())
    {
        Redraw();
    }
    bool Redraw()
    {
        IRectangle area;
        return graphics.CollectDirty(area) && graphics.DrawDirty(area);
    }

    bool home;
    std::unique_ptr<ZR4400> plug;
    IGraphics& graphics;
};

InstanceRig& Instance()
{
    static InstanceRig rig;
    return rig;
}

void BM_InstanceCollectDirtyQuiet(benchmark::State& state)
{
    InstanceRig& rig = Instance();
    rig.Redraw();
    for (auto _ : state)
    {
        IRectangle area;
        benchmark::DoNotOptimize(rig.graphics.CollectDirty(area));
    }
    state.counters["controls"] = rig.graphics.NControls();
}
BENCHMARK(BM_InstanceCollectDirtyQuiet);

void BM_InstanceDrawDirtyFullPanel(benchmark::State& state)
{
    InstanceRig& rig = Instance();
    for (auto _ : state)
    {
        rig.graphics.MarkAllControlsDirty();
        benchmark::DoNotOptimize(rig.Redraw());
    }
}
BENCHMARK(BM_InstanceDrawDirtyFullPanel)->Unit(benchmark::kMicrosecond);

// Host automation of one knob: the value arrives, the next tick draws the knob and what it overlaps,
// and the tick after draws it once more (the pending redraw of a plug-in value).
void BM_InstanceOneKnobAutomation(benchmark::State& state)
{
    InstanceRig& rig = Instance();
    rig.Redraw();
    rig.Redraw();
    const int index = Param::BlockParamIndex(0, Param::kCutoff);
    int n = 0;
    for (auto _ : state)
    {
        {
            std::lock_guard<std::recursive_mutex> lock(rig.plug->Mutex());
            rig.graphics.PushParamToControls(index, (++n % 64) / 64.0, true);
        }
        benchmark::DoNotOptimize(rig.Redraw());
        benchmark::DoNotOptimize(rig.Redraw());
    }
}
BENCHMARK(BM_InstanceOneKnobAutomation)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace zr
