#include "AudioPathAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
thread_local bool inProcessCallback = false;
std::atomic<std::size_t> allocations{0};

void Count()
{
    if (inProcessCallback) allocations.fetch_add(1, std::memory_order_relaxed);
}

void* Allocate(std::size_t size)
{
    Count();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void* AllocateNoThrow(std::size_t size) noexcept
{
    Count();
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

AudioPathScope::AudioPathScope()
{
    inProcessCallback = true;
}

AudioPathScope::~AudioPathScope()
{
    inProcessCallback = false;
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
