// How a parameter shows its normalised value x (0..1): the pieces of its display text (a
// fixed word, or a number with two decimals and a unit), and its LV2 control port (range,
// unit, marked positions, the port value and its inverse). Each parameter record in
// uParameterTable.h names its scale; parameters that show alike share one.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace orvo
{
/// One stretch of a display, over a range of x: a fixed word, or a number that rises with x.
struct TDisplayPiece
{
    /// The text shown, or empty where Number gives a number.
    std::string_view Word;
    /// The number shown at x, before rounding to two decimals; null for a word.
    double (*Number)(float x);
    /// Written right after the number or the word ("dB", "%TD"), or empty.
    std::string_view Unit;
    /// Another unit a user may type for this one ("%" for "%TD"), or empty.
    std::string_view UnitAlias;
};

/// An LV2 control port's range and unit.
struct TPortScale
{
    float Minimum;
    float Maximum;
    /// The unit's name in the LV2 units vocabulary ("db", "semitone12TET", "pc"), or empty.
    std::string_view Unit;
    bool Toggled;
};

struct TParameterScale
{
    /// The display's pieces in order of rising x; none for a parameter that shows nothing.
    std::span<const TDisplayPiece> Pieces;
    /// The position in Pieces of the piece shown at x; it never falls as x rises.
    std::size_t (*PieceAt)(float x);
    TPortScale Port;
    /// The port value at x, in 64-bit steps rounded to float once.
    float (*PortValueAt)(float x);
    /// The inverse of PortValueAt for a port value inside the port's range, before rounding
    /// to a normalised float.
    double (*RawNormalised)(double portValue);
    /// The normalised values at which the port has marked positions (LV2 scale points).
    std::span<const float> Marks;
};

/// Level below the middle ("-oodB", "-24.00dB"), transient emphasis above ("50.00%TD").
extern const TParameterScale BandScale;
/// "Open" below the middle, "Muted" from it up.
extern const TParameterScale MuteScale;
/// The level curve with its boost range, in decibels ("   -oo  ", "-24.00", "6.00").
extern const TParameterScale GainScale;
/// The Tube curve as -100..100 %.
extern const TParameterScale TubeScale;
/// The crossover shift as -12..12 semitones.
extern const TParameterScale TuningScale;
/// "Host Rate Processing" below the middle, "Oversampling On" from it up.
extern const TParameterScale OverSampleScale;
/// No display, a plain 0..1 port.
extern const TParameterScale SilentScale;
} // namespace orvo
