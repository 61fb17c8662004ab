// Watches operator new while a probe lives: how many allocations were made and the largest
// one, to check that the audio path allocates nothing and that a stored block claiming a
// huge size gets no such buffer. The replacement operator new lives in AllocationProbe.cpp
// (link orvo_allocation_probe; it serves the whole test program).
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

    std::size_t Count() const;
    std::size_t Largest() const;
};

} // namespace orvo::test
