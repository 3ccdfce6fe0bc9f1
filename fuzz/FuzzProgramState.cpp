// Program states and host chunks of every kind: the program state read directly, set-chunk of a
// program and of a bank, and set-chunk from a host that forces program chunks. Afterwards the
// instance must be consistent, and the chunk it then writes must read back completely.
#include "FuzzInstance.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace
{

enum class Kind : uint8_t
{
    State,
    ProgramChunk,
    BankChunk,
    ForcedChunk,
    Count
};

void RoundTrip(zr::fuzz::FuzzInstance& instance, std::int32_t index)
{
    void* data = nullptr;
    const std::intptr_t size = instance.Dispatch(zr::vst::effGetChunk, index, 0, &data);
    if (size <= 0)
    {
        zr::fuzz::Fail("no chunk");
    }
    const std::vector<uint8_t> copy(static_cast<const uint8_t*>(data),
                                    static_cast<const uint8_t*>(data) + size);
    if (instance.Dispatch(zr::vst::effSetChunk, index, size, const_cast<uint8_t*>(copy.data())) != 1)
    {
        zr::fuzz::Fail("own chunk refused");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zr::fuzz::UsePrivateHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
    {
        return 0;
    }
    const auto kind = static_cast<Kind>(data[0] % static_cast<uint8_t>(Kind::Count));
    std::vector<uint8_t> bytes(data + 1, data + size);
    zr::fuzz::FuzzInstance instance(kind == Kind::ForcedChunk);
    switch (kind)
    {
    case Kind::State:
    {
        zr::ChunkBuffer chunk;
        chunk.Assign(bytes.data(), static_cast<int>(bytes.size()));
        zr::ZR4400& plug = instance.Plug();
        std::lock_guard lock(plug.Mutex());
        const int pos = plug.UnserializeProgramState(chunk, 0);
        if (pos > chunk.Size())
        {
            zr::fuzz::Fail("read past the state");
        }
        break;
    }
    case Kind::ProgramChunk:
    case Kind::BankChunk:
    case Kind::ForcedChunk:
        // A null pointer for an empty chunk is what hosts hand over; it must be refused, not read.
        instance.Dispatch(zr::vst::effSetChunk, kind == Kind::ProgramChunk ? 1 : 0,
                          static_cast<std::intptr_t>(bytes.size()), bytes.empty() ? nullptr : bytes.data());
        break;
    case Kind::Count:
        break;
    }
    instance.CheckConsistent();
    RoundTrip(instance, 0);
    RoundTrip(instance, 1);
    instance.CheckConsistent();
    return 0;
}
