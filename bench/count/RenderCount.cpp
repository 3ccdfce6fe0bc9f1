// zr4400-count: renders a held chord through the engine for instruction counting under callgrind
// (scripts/bench-callgrind.sh). Only MeasuredRender is meant to be counted; it prints the number of
// samples and voice-samples it rendered.
//
//   zr4400-count <keys> <sample rate> <block size> <seconds> [patched]
//
// "patched" patches every modulation source first (see ModulationPatch.h).
// It also prints the memory of one engine: sizeof(Engine) and the heap it holds after set-up at the
// given rate and block size (the first engine of a process also builds the process-wide wave
// tables; that part is printed apart).
#include "support/InstrumentRig.h"
#include "support/ModulationPatch.h"

#include <charconv>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <string_view>

namespace
{

constexpr int kCentreKey = 60;
constexpr double kSettleSeconds = 0.05;

int ActiveVoices(zr::Engine& engine)
{
    int count = 0;
    for (zr::SynthBlock& block : engine.Blocks())
        for (int v = 0; v < zr::SynthBlock::kVoices; ++v)
            count += block.GetVoice(v).Active() ? 1 : 0;
    return count;
}

// Returns the voice-samples rendered (voices counted after every block).
[[gnu::noinline]] double MeasuredRender(zr::InstrumentRig& rig, int blockSize, long samples)
{
    double voiceSamples = 0.0;
    for (long done = 0; done < samples; done += blockSize)
    {
        rig.Render(blockSize);
        voiceSamples += static_cast<double>(ActiveVoices(rig.GetEngine())) * blockSize;
    }
    return voiceSamples;
}

std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd; // arena and mmap-ed blocks
}

// Heap bytes held by a new engine after set-up.
std::size_t EngineHeap(int rate, int blockSize)
{
    const std::size_t before = HeapInUse();
    auto engine = std::make_unique<zr::Engine>();
    engine->SetUp(rate, blockSize);
    return HeapInUse() - before - sizeof(zr::Engine);
}

template <class T> bool Parse(std::string_view text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

int main(int argc, char** argv)
{
    int keys = 0;
    int rate = 0;
    int blockSize = 0;
    double seconds = 0.0;
    const bool patched = argc == 6 && std::string_view(argv[5]) == "patched";
    if ((argc != 5 && !patched) || !Parse(argv[1], keys) || !Parse(argv[2], rate) ||
        !Parse(argv[3], blockSize) || !Parse(argv[4], seconds) || keys < 0 || keys > 128 || rate < 1000 ||
        blockSize < 1 || blockSize > zr::IPlugBase::kMaxBlockSize || seconds <= 0.0)
    {
        std::fputs("usage: zr4400-count <keys 0..128> <sample rate> <block size> <seconds> [patched]\n",
                   stderr);
        return 2;
    }
    const std::size_t firstHeap = EngineHeap(rate, blockSize);
    const std::size_t heap = EngineHeap(rate, blockSize);
    std::printf("sizeof(Engine) %zu\nengine heap after set-up %zu\nprocess-wide tables %zu\n",
                sizeof(zr::Engine), heap, firstHeap - heap);
    zr::InstrumentRig rig(rate, blockSize);
    if (patched) zr::PatchEverySource(rig);
    for (int k = 0; k < keys; ++k)
        rig.NoteOn(kCentreKey - keys / 2 + k);
    for (long done = 0; done < static_cast<long>(kSettleSeconds * rate); done += blockSize)
        rig.Render(blockSize);
    const long samples = static_cast<long>(seconds * rate) / blockSize * blockSize;
    const double voiceSamples = MeasuredRender(rig, blockSize, samples);
    std::printf("samples %ld\nvoice-samples %.0f\n", samples, voiceSamples);
    return 0;
}
