#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> countingAllThreads{false};
thread_local bool inAudioPath = false;
std::atomic<std::size_t> allocations{0};

void CountIfWatched()
{
    if (inAudioPath || countingAllThreads.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
}

void* Allocate(std::size_t size)
{
    CountIfWatched();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void* AllocateNoThrow(std::size_t size) noexcept
{
    CountIfWatched();
    return std::malloc(size == 0 ? 1 : size);
}
} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateNoThrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateNoThrow(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace zr::test
{

AllocationScope::AllocationScope()
{
    allocations = 0;
    countingAllThreads = true;
}

AllocationScope::~AllocationScope()
{
    countingAllThreads = false;
}

std::size_t AllocationScope::Count() const
{
    return allocations.load();
}

AudioPathScope::AudioPathScope()
{
    inAudioPath = true;
}

AudioPathScope::~AudioPathScope()
{
    inAudioPath = false;
}

std::size_t AudioPathScope::Count()
{
    return allocations.load();
}

void AudioPathScope::Reset()
{
    allocations = 0;
}

} // namespace zr::test
