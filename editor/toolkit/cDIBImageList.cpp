#include "editor/toolkit/cDIBImageList.h"

namespace orvo
{

TDIBImagesItem& TDIBImageList::Add(std::string displayName)
{
    DIBImages.push_back(std::make_unique<TDIBImagesItem>());
    DIBImages.back()->DisplayName = std::move(displayName);
    return *DIBImages.back();
}

bool TDIBImageList::GetImage(std::int32_t index, TAbstractSuperDIB& image) const
{
    if (index < 0 || index >= Count())
    {
        return false;
    }
    const TMemoryDIB& source = DIBImages[static_cast<std::size_t>(index)]->DIB;
    if (source.Empty())
    {
        return false;
    }
    image.ShareFrom(source);
    return true;
}

} // namespace orvo
