// The drawing of each image, one function per image (the list order is in uArtwork). Each
// draws at a scale (1, 1.5 or 2) from the same 100 % coordinates; the sizes below are
// those at 100 %.
#pragma once

#include "tools/artwork/uArtwork.h"
#include "tools/artwork/uRaster.h"

namespace orvo::art
{

TLayer DrawBackground(const TArtworkFonts& fonts, double scale = 1.0);
TLayer DrawCredits(const TArtworkFonts& fonts, double scale = 1.0);

/// A band's mute button: up (band audible) and down (muted) side by side, 88 x 20.
TLayer DrawMuteButton(const TArtworkFonts& fonts, int band, double scale = 1.0);
/// The oversampling switch: off and on side by side, 144 x 20.
TLayer DrawOverSampleButton(const TArtworkFonts& fonts, double scale = 1.0);
/// A blank key, up and down, 88 x 20; no control uses it.

/// One knob frame (62 x 62) pointing at `angle` (radians clockwise from 12 o'clock).
TLayer DrawKnobFrame(double angle, double scale = 1.0);
/// One slider frame (49 x 114) with the thumb's centre line at `thumbY`.
TLayer DrawSliderFrame(double thumbY, double scale = 1.0);

} // namespace orvo::art
