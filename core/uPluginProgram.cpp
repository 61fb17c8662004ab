#include "core/uPluginProgram.h"

namespace orvo
{
static_assert(std::atomic<float>::is_always_lock_free);
static_assert(std::atomic<char>::is_always_lock_free);

APluginProgram::APluginProgram() noexcept
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        FValues[static_cast<std::size_t>(i)].store(InfoOf(i).Default, std::memory_order_relaxed);
    }
    FName.back().store('\0', std::memory_order_relaxed);
    SetName("Quorvane");
}

float APluginProgram::Value(std::int32_t index) const noexcept
{
    return IsParameterIndex(index)
               ? FValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed)
               : 0.0f;
}

void APluginProgram::SetValue(std::int32_t index, float value) noexcept
{
    if (IsParameterIndex(index))
    {
        FValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    }
}

APluginProgram::TName APluginProgram::Name() const noexcept
{
    TName name{};
    for (std::size_t i = 0; i < MaxNameLength; ++i)
    {
        name[i] = FName[i].load(std::memory_order_relaxed);
        if (name[i] == '\0')
        {
            break;
        }
    }
    return name;
}

void APluginProgram::SetName(std::string_view name) noexcept
{
    const std::size_t length = name.size() < MaxNameLength ? name.size() : MaxNameLength;
    for (std::size_t i = 0; i < length; ++i)
    {
        FName[i].store(name[i], std::memory_order_relaxed);
    }
    FName[length].store('\0', std::memory_order_relaxed);
}
} // namespace orvo
