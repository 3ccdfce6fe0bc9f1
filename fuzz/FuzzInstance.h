#pragma once

#include "instrument/ZR4400.h"
#include "plugin/ChunkBuffer.h"
#include "plugin/VstAbi.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace zr::fuzz
{

// Stops the run with a crash report the fuzzer records: an invariant of the instance is broken.
[[noreturn]] void Fail(const char* what);

// Points HOME and the XDG folders at a private temporary folder, so that no target ever reads or
// writes the real user's settings (called once from LLVMFuzzerInitialize).
void UsePrivateHome();

// What the fuzzing host answers: nothing, except the vendor string, which decides whether the
// instance treats every chunk as a program chunk.
struct FuzzHost
{
    static std::intptr_t Callback(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr,
                                  float);
    // Vendor string handed to the next instance ("" = an ordinary host).
    static inline const char* vendor = "";
};

// One instrument instance made as the module's entry function makes it, closed through effClose.
class FuzzInstance
{
public:
    explicit FuzzInstance(bool forcingHost = false);
    ~FuzzInstance();
    FuzzInstance(const FuzzInstance&) = delete;
    FuzzInstance& operator=(const FuzzInstance&) = delete;

    ZR4400& Plug() { return *static_cast<ZR4400*>(mEffect->object); }
    vst::AEffect* Effect() { return mEffect; }
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f);
    // Open, sample rate, block size and resume, as hosts do before the first block.
    void Start(float rate, int block);
    // One block of processReplacing; every sample must be finite.
    void Render(int frames);

    // Every parameter finite and inside its range; every program slot selectable and, after that,
    // again every parameter in range; the current program restored afterwards.
    void CheckConsistent();
    // Values of every parameter and the whole bank: what a refused load must leave unchanged.
    std::vector<uint8_t> Snapshot();

private:
    void CheckParameters();

    vst::AEffect* mEffect = nullptr;
    std::vector<float> mLeft;
    std::vector<float> mRight;
};

} // namespace zr::fuzz
