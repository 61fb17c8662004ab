// The host features an LV2 binary is given, looked up by URI.
#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

namespace orvo::lv2
{
/// The feature with uri in the host's null-terminated list, or null.
inline const LV2_Feature* FindFeature(const LV2_Feature* const* features, const char* uri) noexcept
{
    for (; features != nullptr && *features != nullptr; ++features)
    {
        if (std::strcmp((*features)->URI, uri) == 0)
        {
            return *features;
        }
    }
    return nullptr;
}

/// The data of the feature with uri, or null when the host gave none.
template <typename TData>
const TData* FeatureData(const LV2_Feature* const* features, const char* uri) noexcept
{
    const LV2_Feature* feature = FindFeature(features, uri);
    return feature != nullptr ? static_cast<const TData*>(feature->data) : nullptr;
}
} // namespace orvo::lv2
