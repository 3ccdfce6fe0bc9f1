#pragma once

#include <cstddef>

namespace zr::test
{

// Counts heap allocations made by any thread while a scope is open (the test binary replaces the
// global operator new).
class AllocationScope
{
public:
    AllocationScope();
    ~AllocationScope();
    std::size_t Count() const;
};

} // namespace zr::test
