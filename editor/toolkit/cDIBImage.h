// The picture control: one image from an image list, drawn at the control's top left.
#pragma once

#include "editor/toolkit/cDIBControl.h"
#include "editor/toolkit/cDIBImageList.h"

namespace orvo
{

class TDIBImage : public TCustomDIBControl
{
  public:
    using TCustomDIBControl::TCustomDIBControl;

    const TDIBImageLink& IndexMain() const { return FIndexMain; }
    void SetIndexMain(const TDIBImageLink& link);
    bool AutoSize() const { return FAutoSize; }
    /// Set: the control takes the image's size.
    void SetAutoSize(bool autoSize);

    /// With Center (and without AutoSize) the image is centred in the control.
    bool Center = false;
    /// Kept for completeness: the picture is always drawn 1:1.
    bool Stretch = false;

    void Paint(TWinDIB& canvas) override;

  private:
    void ApplyAutoSize();

    TDIBImageLink FIndexMain;
    bool FAutoSize = false;
};

} // namespace orvo
