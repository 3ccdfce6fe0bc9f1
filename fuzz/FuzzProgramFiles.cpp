// Program (.fxp) and bank (.fxb) file images: a refused file changes nothing at all; an accepted
// one leaves the instance consistent.
#include "FuzzInstance.h"
#include "plugin/ProgramFiles.h"

#include <cstddef>
#include <cstdint>

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
    const bool bank = (data[0] & 1) != 0;
    zr::ChunkBuffer file;
    file.Assign(data + 1, static_cast<int>(size - 1));
    zr::fuzz::FuzzInstance instance;
    const auto before = instance.Snapshot();
    const bool loaded = bank ? zr::ProgramFiles::LoadBankImage(instance.Plug(), file)
                             : zr::ProgramFiles::LoadProgramImage(instance.Plug(), file);
    if (!loaded && instance.Snapshot() != before)
    {
        zr::fuzz::Fail("a refused file changed the instance");
    }
    instance.CheckConsistent();
    return 0;
}
