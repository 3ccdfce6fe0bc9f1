// The editor's hot drawing paths: the whole panel blitted with alpha, one knob frame, a label.
#include "editor/draw/LICE_Blit.h"
#include "editor/draw/LICE_CachedFont.h"
#include "editor/draw/LICE_MemBitmap.h"
#include "editor/draw/LICE_SysBitmap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{

constexpr int kPanelWidth = 1480, kPanelHeight = 660;
constexpr int kKnobSide = 40;

// Knob-like art: 40 x 40 tiles, each an opaque disc with an antialiased rim on transparent corners.
void FillWithKnobs(LICE_MemBitmap& bitmap)
{
    const double radius = kKnobSide / 2.0 - 1.0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
        {
            const double dx = x % kKnobSide + 0.5 - kKnobSide / 2.0,
                         dy = y % kKnobSide + 0.5 - kKnobSide / 2.0;
            const double edge = std::clamp(radius - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
            const auto alpha = static_cast<uint32_t>(edge * 255.0 + 0.5);
            bitmap.Bits()[y * bitmap.Width() + x] =
                alpha << 24 | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF);
        }
}

// Every pixel a different alpha: the worst case for the opaque and transparent shortcuts.
void FillWithNoise(LICE_MemBitmap& bitmap)
{
    uint32_t state = 12345;
    for (int i = 0; i < bitmap.Width() * bitmap.Height(); ++i)
    {
        state = state * 1664525u + 1013904223u;
        bitmap.Bits()[i] = state;
    }
}

void Blit(benchmark::State& state, int w, int h, int mode, float weight, bool noise = false)
{
    LICE_SysBitmap surface(kPanelWidth, kPanelHeight);
    LICE_MemBitmap art(w, h);
    if (noise)
        FillWithNoise(art);
    else
        FillWithKnobs(art);
    for (auto _ : state)
    {
        LICE_Blit(&surface, &art, 0, 0, 0, 0, w, h, weight, mode);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}

void BM_PanelAlphaBlit(benchmark::State& state)
{
    Blit(state, kPanelWidth, kPanelHeight, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA, 1.0f);
}
void BM_PanelAlphaBlitNoise(benchmark::State& state)
{
    Blit(state, kPanelWidth, kPanelHeight, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA, 1.0f, true);
}
void BM_PanelPlainCopy(benchmark::State& state)
{
    Blit(state, kPanelWidth, kPanelHeight, LICE_BLIT_MODE_COPY, 1.0f);
}
void BM_PanelAlphaBlitHalfWeight(benchmark::State& state)
{
    Blit(state, kPanelWidth, kPanelHeight, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA, 0.5f);
}
void BM_PanelAddBlit(benchmark::State& state)
{
    Blit(state, kPanelWidth, kPanelHeight, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA, 1.0f);
}
void BM_KnobFrameAlphaBlit(benchmark::State& state)
{
    Blit(state, kKnobSide, kKnobSide, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA, 1.0f);
}

void BM_Text12px(benchmark::State& state)
{
    LICE_SysBitmap surface(kPanelWidth, kPanelHeight);
    auto font = LICE_CachedFont::Create("Verdana", 12, false, false);
    if (font == nullptr)
    {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state)
    {
        font->DrawText(&surface, "Cutoff 1234.5 Hz", 100, 100, 120, 16, 0xFFE0E0E0, 1);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_PanelAlphaBlit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanelAlphaBlitNoise)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanelPlainCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanelAlphaBlitHalfWeight)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanelAddBlit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KnobFrameAlphaBlit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Text12px)->Unit(benchmark::kMicrosecond);

} // namespace
