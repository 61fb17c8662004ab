#include "plugin/uPluginProgram.h"

namespace orvo
{
static_assert(std::atomic<float>::is_always_lock_free);

APluginProgram::APluginProgram() : FName("Quorvane")
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        FValues[static_cast<std::size_t>(i)].store(InfoOf(i).Default, std::memory_order_relaxed);
    }
    FName.reserve(MaxNameLength);
}

float APluginProgram::Value(std::int32_t index) const noexcept
{
    return IsParameterIndex(index) ? FValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed)
                                   : 0.0f;
}

void APluginProgram::SetValue(std::int32_t index, float value) noexcept
{
    if (IsParameterIndex(index))
    {
        FValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    }
}

void APluginProgram::SetName(std::string_view name)
{
    FName.assign(name.substr(0, MaxNameLength));
}
} // namespace orvo
