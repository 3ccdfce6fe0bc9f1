// Banks read by UnserializePresets, the bank format of chunks and bank files: whatever the bytes,
// every slot stays readable, every parameter in range, and the bank written afterwards reads back.
#include "FuzzInstance.h"

#include <cstddef>
#include <cstdint>
#include <mutex>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zr::fuzz::UsePrivateHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zr::fuzz::FuzzInstance instance;
    zr::ZR4400& plug = instance.Plug();
    {
        std::lock_guard lock(plug.Mutex());
        zr::ChunkBuffer chunk;
        chunk.Assign(data, static_cast<int>(size));
        int pos = 0;
        zr::IPlugBase::ReadChunkVersion(chunk, pos);
        pos = plug.UnserializePresets(chunk, pos);
        if (pos > chunk.Size())
        {
            zr::fuzz::Fail("read past the bank");
        }
    }
    instance.CheckConsistent();
    std::lock_guard lock(plug.Mutex());
    zr::ChunkBuffer written;
    plug.SerializePresets(written);
    if (plug.UnserializePresets(written, 0) != written.Size())
    {
        zr::fuzz::Fail("own bank not readable");
    }
    return 0;
}
