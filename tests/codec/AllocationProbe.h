// Measures the largest single allocation made through operator new while a probe lives,
// to check that a stored block claiming a huge size gets no such buffer. The replacement
// operator new lives in AllocationProbe.cpp.
#pragma once

#include <cstddef>

namespace orvo::test
{

class TAllocationProbe
{
public:
    TAllocationProbe();
    ~TAllocationProbe();
    TAllocationProbe(const TAllocationProbe&) = delete;
    TAllocationProbe& operator=(const TAllocationProbe&) = delete;

    std::size_t Largest() const;
};

} // namespace orvo::test
