#include "editor/toolkit/cDIBImage.h"

namespace orvo
{

void TDIBImage::SetIndexMain(const TDIBImageLink& link)
{
    FIndexMain = link;
    ApplyAutoSize();
    Invalidate();
}

void TDIBImage::SetAutoSize(bool autoSize)
{
    FAutoSize = autoSize;
    ApplyAutoSize();
}

void TDIBImage::ApplyAutoSize()
{
    TMemoryDIB image;
    if (FAutoSize && FIndexMain.GetImage(image))
    {
        SetSize(image.Width(), image.Height());
    }
}

void TDIBImage::Paint(TWinDIB& canvas)
{
    TMemoryDIB image;
    if (!FIndexMain.GetImage(image))
    {
        return;
    }
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (Center && !FAutoSize)
    {
        x = (Width() - image.Width()) / 2;
        y = (Height() - image.Height()) / 2;
    }
    image.Draw(canvas, x, y);
}

} // namespace orvo
