#include "tests/support/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> probeActive{false};
std::atomic<std::size_t> allocationCount{0};
std::atomic<std::size_t> largestAllocation{0};

void* WatchedAllocation(std::size_t size)
{
    if (probeActive.load(std::memory_order_relaxed))
    {
        allocationCount.fetch_add(1, std::memory_order_relaxed);
        if (size > largestAllocation.load(std::memory_order_relaxed))
        {
            largestAllocation.store(size, std::memory_order_relaxed);
        }
    }
    if (void* p = std::malloc(size == 0 ? 1 : size))
    {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size)
{
    return WatchedAllocation(size);
}

void* operator new[](std::size_t size)
{
    return WatchedAllocation(size);
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

namespace orvo::test
{

TAllocationProbe::TAllocationProbe()
{
    allocationCount = 0;
    largestAllocation = 0;
    probeActive = true;
}

TAllocationProbe::~TAllocationProbe()
{
    probeActive = false;
}

std::size_t TAllocationProbe::Count() const
{
    return allocationCount.load();
}

std::size_t TAllocationProbe::Largest() const
{
    return largestAllocation.load();
}

} // namespace orvo::test
