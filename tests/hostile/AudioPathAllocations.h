#pragma once

#include <cstddef>

namespace zr::test
{

// Counts heap allocations made on a thread while it is inside a process callback of the plug-in
// (the test binary replaces the global operator new; the dynamically loaded module resolves its
// operator new to that replacement, so the module's own code is measured).
class AudioPathScope
{
public:
    AudioPathScope();
    ~AudioPathScope();
    AudioPathScope(const AudioPathScope&) = delete;
    AudioPathScope& operator=(const AudioPathScope&) = delete;

    // Allocations made inside any scope, on any thread, since the last reset.
    static std::size_t Count();
    static void Reset();
};

} // namespace zr::test
