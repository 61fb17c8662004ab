// Image lists: named images in order, and links (list, index) through which controls draw
// them. A drawn image shares the item's pixels; nothing is copied.
#pragma once

#include "editor/toolkit/cDIB.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvo
{

struct TDIBImagesItem
{
    std::string DisplayName;
    TMemoryDIB DIB;
};

class TDIBImageList
{
  public:
    /// Appends an empty item and returns it; items keep their address for the list's life.
    TDIBImagesItem& Add(std::string displayName);
    std::int32_t Count() const { return static_cast<std::int32_t>(DIBImages.size()); }
    TDIBImagesItem& Item(std::int32_t index)
    {
        return *DIBImages.at(static_cast<std::size_t>(index));
    }

    /// Makes image share item index's pixels and attributes. False, with image untouched,
    /// when the index lies outside the list or the item has no pixel data.
    bool GetImage(std::int32_t index, TAbstractSuperDIB& image) const;

    std::vector<std::unique_ptr<TDIBImagesItem>> DIBImages;
};

/// The pair (list, index) that a control draws from. It yields an image only when the
/// list exists, the index lies inside it and the item has pixel data.
struct TDIBImageLink
{
    TDIBImageList* DIBImageList = nullptr;
    std::int32_t DIBIndex = -1;

    bool GetImage(TAbstractSuperDIB& image) const
    {
        return DIBImageList != nullptr && DIBImageList->GetImage(DIBIndex, image);
    }
};

} // namespace orvo
