// The drawing of each image, one function per image (the list order is in uArtwork).
#pragma once

#include "tools/artwork/uArtwork.h"
#include "tools/artwork/uRaster.h"

namespace orvo::art
{

TLayer DrawBackground(const TArtworkFonts& fonts);
TLayer DrawCredits(const TArtworkFonts& fonts);

/// A band's mute button: up (band audible) and down (muted) side by side, 88 x 20.
TLayer DrawMuteButton(const TArtworkFonts& fonts, int band);
/// The oversampling switch: off and on side by side, 144 x 20.
TLayer DrawOverSampleButton(const TArtworkFonts& fonts);
/// A blank key, up and down, 88 x 20; no control uses it.

/// One knob frame (62 x 62) pointing at `angle` (radians clockwise from 12 o'clock).
TLayer DrawKnobFrame(double angle);
/// One slider frame (49 x 114) with the thumb's centre line at `thumbY`.
TLayer DrawSliderFrame(double thumbY);

} // namespace orvo::art
