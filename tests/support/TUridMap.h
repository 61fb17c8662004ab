// A test host's URID map: URIs numbered from 1 in the order they are first asked for.
#pragma once

#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace orvo::test
{
class TUridMap
{
  public:
    TUridMap() = default;
    TUridMap(const TUridMap&) = delete;
    TUridMap& operator=(const TUridMap&) = delete;

    /// The host's feature data; valid as long as this object.
    LV2_URID_Map Map{this, &MapUri};

  private:
    static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri)
    {
        auto& uris = static_cast<TUridMap*>(handle)->FUris;
        for (std::size_t i = 0; i < uris.size(); ++i)
        {
            if (uris[i] == uri)
            {
                return static_cast<LV2_URID>(i + 1);
            }
        }
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }

    std::vector<std::string> FUris;
};
} // namespace orvo::test
