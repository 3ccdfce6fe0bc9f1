#pragma once

#include <cstddef>

namespace zr::test
{

// Both scopes count heap allocations through the test binary's replacement of the global
// operator new. A dynamically loaded module resolves its operator new to that replacement too, so
// the module's own code is measured.

// Counts allocations made by any thread while the scope is open; opening it resets the count.
class AllocationScope
{
public:
    AllocationScope();
    ~AllocationScope();
    AllocationScope(const AllocationScope&) = delete;
    AllocationScope& operator=(const AllocationScope&) = delete;

    std::size_t Count() const;
};

// Marks the current thread as being inside a process callback of the plug-in; allocations made by
// such threads are counted until Reset.
class AudioPathScope
{
public:
    AudioPathScope();
    ~AudioPathScope();
    AudioPathScope(const AudioPathScope&) = delete;
    AudioPathScope& operator=(const AudioPathScope&) = delete;

    // Allocations made inside any audio-path scope, on any thread, since the last reset.
    static std::size_t Count();
    static void Reset();
};

} // namespace zr::test
