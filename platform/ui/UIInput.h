// Mouse input as the window system reports it to a window: which button, which modifier
// keys and buttons are held, and where (client pixels, top-down); turns of the wheel.
#pragma once

#include "platform/ui/UIGeometry.h"

#include <cstdint>

namespace orvo
{

enum TMouseButton : std::uint8_t
{
    mbLeft,
    mbRight,
    mbMiddle
};

/// Modifier keys and held buttons at the time of an event, as a bit set.
enum TShiftState : std::uint8_t
{
    ssNone = 0,
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64 // the press is the second of a double click
};

constexpr TShiftState operator|(TShiftState a, TShiftState b)
{
    return static_cast<TShiftState>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}
constexpr TShiftState operator&(TShiftState a, TShiftState b)
{
    return static_cast<TShiftState>(static_cast<std::uint8_t>(a) & static_cast<std::uint8_t>(b));
}
constexpr TShiftState operator~(TShiftState a)
{
    return static_cast<TShiftState>(~static_cast<std::uint8_t>(a));
}
constexpr bool HasShift(TShiftState set, TShiftState flags)
{
    return (set & flags) == flags;
}

/// The held-button flag that belongs to a button.
constexpr TShiftState ButtonShift(TMouseButton button)
{
    switch (button)
    {
    case mbLeft:
        return ssLeft;
    case mbRight:
        return ssRight;
    case mbMiddle:
        return ssMiddle;
    }
    return ssNone;
}

struct TUIMouseEvent
{
    TMouseButton Button = mbLeft; // the button pressed or released; unused for moves
    TShiftState Shift = ssNone;   // modifiers and buttons held, ssDouble on a double click
    TPoint Position;              // client pixels
};

/// A turn of the mouse wheel over the window.
struct TUIWheelEvent
{
    std::int32_t Notches = 0;   // positive away from the user (up), negative towards
    TShiftState Shift = ssNone; // modifiers and buttons held
    TPoint Position;            // client pixels
};

} // namespace orvo
