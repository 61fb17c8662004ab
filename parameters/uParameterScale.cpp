#include "parameters/uParameterScale.h"

#include "parameters/uParameterCurves.h"

#include <array>
#include <cmath>

namespace orvo
{
namespace
{
/// Decibels of a gain above 0, in 64-bit.
double Decibels(float gain)
{
    return 20.0 * std::log10(static_cast<double>(gain));
}

float Identity(float x)
{
    return x;
}
double RawIdentity(double v)
{
    return v;
}

/// The first piece below the middle, the second from it up.
std::size_t SwitchPiece(float x)
{
    return SwitchOn(x) ? 1 : 0;
}
float SwitchPortValue(float x)
{
    return SwitchOn(x) ? 1.0f : 0.0f;
}
double SwitchRawNormalised(double v)
{
    return v >= 0.5 ? 1.0 : 0.0;
}
constexpr TPortScale TogglePort{0.0f, 1.0f, "", true};
constexpr std::array<float, 2> SwitchMarks{0.0f, 1.0f};

// The band knobs: silence, then the level curve up to 0 dB at the middle, then the
// transient amount.
std::size_t BandPiece(float x)
{
    if (BandUsesDispersion(x))
    {
        return 2;
    }
    return LevelCurveSilentAt(x) ? 0 : 1;
}
double BandDecibels(float x)
{
    return Decibels(LevelCurve(x));
}
double BandPercent(float x)
{
    return DispersionAmountFor(x) * 100.0;
}
constexpr std::array<TDisplayPiece, 3> BandPieces{{
    {"-oo", nullptr, "dB", ""},
    {"", &BandDecibels, "dB", ""},
    {"", &BandPercent, "%TD", "%"},
}};
constexpr std::array<float, 7> BandMarks{0.0f, 0.25f, 0.5f, 0.625f, 0.75f, 0.875f, 1.0f};

constexpr std::array<TDisplayPiece, 2> MutePieces{{
    {"Open", nullptr, "", ""},
    {"Muted", nullptr, "", ""},
}};

// InGain and OutGain: the display rounds the decibels to float first, the port does not.
std::size_t GainPiece(float x)
{
    return LevelCurveSilentAt(x) ? 0 : 1;
}
double GainDecibels(float x)
{
    return static_cast<float>(Decibels(LevelCurve(x)));
}
float GainPortValue(float x)
{
    return static_cast<float>(LevelDecibelSteps(static_cast<double>(x)));
}
double GainRawNormalised(double v)
{
    if (v > 0.0)
    {
        return 0.5 + v / 12.0;
    }
    if (v >= -24.0)
    {
        return 0.5 + v / 96.0;
    }
    return 0.25 + (v + 24.0) / 288.0;
}
constexpr std::array<TDisplayPiece, 2> GainPieces{{
    {"   -oo  ", nullptr, "", ""},
    {"", &GainDecibels, "", ""},
}};
constexpr std::array<float, 5> GainMarks{0.0f, 0.25f, 0.5f, 0.75f, 1.0f};

/// A scale that shows one number throughout.
std::size_t OnlyPiece(float)
{
    return 0;
}

double TubeShown(float x)
{
    return TubePercent(x);
}
float TubePortValue(float x)
{
    return static_cast<float>(TubePercent(static_cast<double>(x)));
}
double TubeRawNormalised(double v)
{
    return (v + 100.0) / 200.0;
}
constexpr std::array<TDisplayPiece, 1> TubePieces{{{"", &TubeShown, "", ""}}};
constexpr std::array<float, 3> TubeMarks{0.0f, 0.5f, 1.0f};

double TuningShown(float x)
{
    return TuningSemitones(x);
}
float TuningPortValue(float x)
{
    return static_cast<float>(TuningSemitones(static_cast<double>(x)));
}
double TuningRawNormalised(double v)
{
    return (v + 12.0) / 24.0;
}
constexpr std::array<TDisplayPiece, 1> TuningPieces{{{"", &TuningShown, "", ""}}};
constexpr std::array<float, 5> TuningMarks{0.0f, 0.25f, 0.5f, 0.75f, 1.0f};

constexpr std::array<TDisplayPiece, 2> OverSamplePieces{{
    {"Host Rate Processing", nullptr, "", ""},
    {"Oversampling On", nullptr, "", ""},
}};
} // namespace

constinit const TParameterScale BandScale{
    .Pieces = BandPieces,
    .PieceAt = &BandPiece,
    .Port = {0.0f, 1.0f, "", false},
    .PortValueAt = &Identity,
    .RawNormalised = &RawIdentity,
    .Marks = BandMarks,
};
constinit const TParameterScale MuteScale{
    .Pieces = MutePieces,
    .PieceAt = &SwitchPiece,
    .Port = TogglePort,
    .PortValueAt = &SwitchPortValue,
    .RawNormalised = &SwitchRawNormalised,
    .Marks = SwitchMarks,
};
constinit const TParameterScale GainScale{
    .Pieces = GainPieces,
    .PieceAt = &GainPiece,
    .Port = {static_cast<float>(LevelDecibelSteps(0.0)), static_cast<float>(LevelDecibelSteps(1.0)),
             "db", false},
    .PortValueAt = &GainPortValue,
    .RawNormalised = &GainRawNormalised,
    .Marks = GainMarks,
};
constinit const TParameterScale TubeScale{
    .Pieces = TubePieces,
    .PieceAt = &OnlyPiece,
    .Port = {-100.0f, 100.0f, "pc", false},
    .PortValueAt = &TubePortValue,
    .RawNormalised = &TubeRawNormalised,
    .Marks = TubeMarks,
};
constinit const TParameterScale TuningScale{
    .Pieces = TuningPieces,
    .PieceAt = &OnlyPiece,
    .Port = {-12.0f, 12.0f, "semitone12TET", false},
    .PortValueAt = &TuningPortValue,
    .RawNormalised = &TuningRawNormalised,
    .Marks = TuningMarks,
};
constinit const TParameterScale OverSampleScale{
    .Pieces = OverSamplePieces,
    .PieceAt = &SwitchPiece,
    .Port = TogglePort,
    .PortValueAt = &SwitchPortValue,
    .RawNormalised = &SwitchRawNormalised,
    .Marks = SwitchMarks,
};
constinit const TParameterScale SilentScale{
    .Pieces = {},
    .PieceAt = nullptr,
    .Port = {0.0f, 1.0f, "", false},
    .PortValueAt = &Identity,
    .RawNormalised = &RawIdentity,
    .Marks = {},
};
} // namespace orvo
