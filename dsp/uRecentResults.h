// A fixed-size memory of the results of a costly function for the arguments given lately,
// for the setters on the audio thread: looking up allocates nothing and costs a few
// comparisons against the hundreds of nanoseconds of a deterministic exponential or sine.
#pragma once

#include <array>
#include <cstddef>

namespace orvo
{

/// Up to Size results of one function of a float, the oldest replaced first. The owner keeps
/// the function fixed while results are held (Clear when what it depends on changes), so a
/// result found is the one the function gives, bit for bit.
template <typename TResult, std::size_t Size> class TRecentResults
{
  public:
    /// The result held for argument, or null.
    const TResult* Find(float argument) const noexcept
    {
        for (std::size_t i = 0; i < FHeld; ++i)
        {
            if (FEntries[i].Argument == argument)
            {
                return &FEntries[i].Result;
            }
        }
        return nullptr;
    }
    void Store(float argument, const TResult& result) noexcept
    {
        FEntries[FNext] = {argument, result};
        FNext = (FNext + 1) % Size;
        FHeld = FHeld < Size ? FHeld + 1 : Size;
    }
    void Clear() noexcept
    {
        FHeld = 0;
        FNext = 0;
    }

  private:
    struct TEntry
    {
        float Argument;
        TResult Result;
    };
    std::array<TEntry, Size> FEntries{};
    std::size_t FHeld = 0;
    std::size_t FNext = 0;
};

} // namespace orvo
