#include "FuzzInstance.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace zr::fuzz
{

void Fail(const char* what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void UsePrivateHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zr-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
    {
        Fail("no temporary folder");
    }
    ::setenv("HOME", pattern.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (pattern + "/.config").c_str(), 1);
    ::unsetenv("XDG_DOCUMENTS_DIR");
    ::unsetenv("XDG_DESKTOP_DIR");
}

std::intptr_t FuzzHost::Callback(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr,
                                 float)
{
    if (opcode == vst::audioMasterGetVendorString && ptr)
    {
        std::strcpy(static_cast<char*>(ptr), vendor);
        return 1;
    }
    return 0;
}

FuzzInstance::FuzzInstance(bool forcingHost)
{
    FuzzHost::vendor = forcingHost ? "Native Instruments" : "";
    auto* plug = new ZR4400(&FuzzHost::Callback);
    {
        std::lock_guard lock(plug->Mutex());
        plug->FillEmptyPresets(ZR4400::kNumPresets);
    }
    mEffect = plug->GetAEffect();
}

FuzzInstance::~FuzzInstance()
{
    Dispatch(vst::effClose);
}

std::intptr_t FuzzInstance::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                     float opt)
{
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void FuzzInstance::Start(float rate, int block)
{
    Dispatch(vst::effOpen);
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
    Dispatch(vst::effSetBlockSize, 0, block);
    Dispatch(vst::effMainsChanged, 0, 1);
}

void FuzzInstance::Render(int frames)
{
    mLeft.assign(static_cast<size_t>(frames), 0.0f);
    mRight.assign(static_cast<size_t>(frames), 0.0f);
    float* outputs[] = {mLeft.data(), mRight.data()};
    mEffect->processReplacing(mEffect, nullptr, outputs, frames);
    for (int n = 0; n < frames; ++n)
    {
        if (!std::isfinite(mLeft[static_cast<size_t>(n)]) || !std::isfinite(mRight[static_cast<size_t>(n)]))
        {
            Fail("output sample not finite");
        }
    }
}

void FuzzInstance::CheckParameters()
{
    ZR4400& plug = Plug();
    for (int i = 0; i < plug.NParams(); ++i)
    {
        const IParameter& param = *plug.GetParam(i);
        const double value = param.Value();
        if (!std::isfinite(value) || value < param.Min() || value > param.Max())
        {
            Fail("parameter out of range");
        }
    }
}

void FuzzInstance::CheckConsistent()
{
    ZR4400& plug = Plug();
    std::lock_guard lock(plug.Mutex());
    CheckParameters();
    const int current = plug.GetCurrentPresetIdx();
    if (current < 0 || current >= plug.NPresets())
    {
        Fail("current program out of range");
    }
    // Selecting a slot loads its state; the current state must not be lost on the way.
    ChunkBuffer state;
    plug.SerializeProgramState(state);
    for (int slot = 0; slot < plug.NPresets(); ++slot)
    {
        if (!plug.SelectPreset(slot))
        {
            Fail("program slot not readable");
        }
        CheckParameters();
    }
    plug.SelectPreset(current);
    if (plug.UnserializeProgramState(state, 0) != state.Size())
    {
        Fail("own program state not readable");
    }
}

std::vector<uint8_t> FuzzInstance::Snapshot()
{
    ZR4400& plug = Plug();
    std::lock_guard lock(plug.Mutex());
    ChunkBuffer image;
    plug.WriteParamValues(image);
    image.PutInt32(plug.GetCurrentPresetIdx());
    plug.SerializePresets(image);
    return {image.Data(), image.Data() + image.Size()};
}

} // namespace zr::fuzz
