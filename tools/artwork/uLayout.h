// Where the editor's controls sit (client pixels, top-down) and how their positions map to
// image frames, as the window and the toolkit use them. The artwork draws its scales and
// slots from these numbers so that every control lines up with what the window draws.
#pragma once

#include "parameters/uParameterTable.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace orvo::art
{

struct TControlRect
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

inline constexpr int EditorWidth = 700;
inline constexpr int EditorHeight = 300;

/// The five band sliders, low to high, on one top edge.
inline constexpr std::array<TControlRect, 5> BandSliders{{
    {236, 93, 49, 114},
    {282, 93, 49, 114},
    {328, 93, 49, 114},
    {374, 93, 49, 114},
    {420, 93, 49, 114},
}};
inline constexpr TControlRect InGainSlider{91, 93, 49, 114};
inline constexpr TControlRect OutGainSlider{563, 93, 49, 114};
/// The five mute buttons under the bands (44 x 20 each: one frame of their 88 x 20 image).
inline constexpr std::array<TControlRect, 5> MuteButtons{{
    {237, 226, 44, 20},
    {283, 226, 44, 20},
    {329, 226, 44, 20},
    {375, 226, 44, 20},
    {421, 226, 44, 20},
}};
inline constexpr TControlRect TuningKnob{161, 124, 62, 62};
inline constexpr TControlRect TubeKnob{489, 124, 62, 62};
inline constexpr TControlRect OverSampleButton{45, 269, 72, 20};
inline constexpr TControlRect HintLabel{291, 269, 119, 20};
inline constexpr TControlRect HintShadowLabel{293, 271, 119, 20};
/// A press on the bare background beyond this corner (x > 530 and y > 260) shows the credits.
inline constexpr int CreditsCornerX = 530;
inline constexpr int CreditsCornerY = 260;

// The slider strip: 57 frames of 49 x 114; a knob of maximum 569 shows frame position div 10.
inline constexpr int SliderFrames = 57;
inline constexpr int SliderFrameWidth = 49;
inline constexpr int SliderFrameHeight = 114;
inline constexpr int SliderMax = 569;
/// The thumb's centre line inside a frame: x, and y at the lowest and highest frame. The
/// frames of the marked values (0, 0.25, 0.5, 1) put the line on a pixel row's centre.
inline constexpr double SliderCentreX = 23.5;
inline constexpr double SliderThumbLowY = 101.5;
inline constexpr double SliderThumbHighY = 13.5;

/// Round half to even, as the window rounds values to positions.
inline long RoundHalfEven(double v)
{
    return std::lrint(v);
}

/// The frame a slider shows for a parameter value (0..1).
inline int SliderFrameForValue(double value)
{
    return static_cast<int>(RoundHalfEven(SliderMax * value) / 10);
}

/// The thumb's centre y inside the frame that shows frame `frame`.
inline double SliderThumbY(double frame)
{
    return SliderThumbLowY + (SliderThumbHighY - SliderThumbLowY) * frame / (SliderFrames - 1);
}

// The knob strip: 61 frames of 62 x 62, blended between neighbours (tweens).
inline constexpr int KnobFrames = 61;
inline constexpr int KnobFrameSize = 62;
inline constexpr double KnobCentre = 31.0;
/// The pointer's sweep: from 7:30 to 4:30 through 12 o'clock, in radians clockwise from 12.
inline constexpr double KnobSweepStart = -0.75 * 3.14159265358979323846;
inline constexpr double KnobSweep = 1.5 * 3.14159265358979323846;

/// How far along the sweep (0..1) frame index `f` points; `f` may lie between frames.
/// A knob's tween position f = position / max x 61 runs 0..61 and is held at the last
/// frame (60) above 60, and the middle value lands halfway between frames 30 and 31.
/// So frames 0..30.5 cover the lower half of the sweep and 30.5..60 the upper half: the
/// middle of the range points straight up.
inline double KnobSweepFraction(double f)
{
    const double half = KnobFrames / 2.0; // 30.5
    const double last = KnobFrames - 1;   // 60
    f = std::fmin(std::fmax(f, 0.0), last);
    return f <= half ? 0.5 * f / half : 0.5 + 0.5 * (f - half) / (last - half);
}

/// The pointer's angle for a parameter value (0..1) of a knob with maximum `max`.
inline double KnobAngleForValue(double value, int max)
{
    const double position = static_cast<double>(RoundHalfEven(max * value));
    return KnobSweepStart + KnobSweep * KnobSweepFraction(position / max * KnobFrames);
}

inline constexpr int TubeMax = 609;
inline constexpr int TuningMax = 600;

} // namespace orvo::art
