#include "dsp/uRBJFilter.h"

#include "maths/uDetMath.h"

#include <algorithm>

namespace orvo
{
namespace
{

constexpr double Pi = 3.14159265358979323846;
constexpr double HalfLn2 = 0.34657359027997265471; // ln(2) / 2
constexpr double GlideFactor = 1.0 / GlideLength;
constexpr float MinFrequency = 0.1f;
constexpr float MinSampleRate = 1.0f;

} // namespace

TRBJFilter::TRBJFilter(float sampleRate) noexcept
    : FSampleRate(sampleRate), FInvSampleRate(1.0 / static_cast<double>(sampleRate))
{
    CalcCoefficients();
    Reset();
}

bool TRBJFilter::StoreFrequency(float frequency) noexcept
{
    if (frequency == FFrequency || std::isnan(frequency))
    {
        return false;
    }
    FFrequency = std::clamp(frequency, MinFrequency, FSampleRate * 0.5f);
    return true;
}

void TRBJFilter::SetFilter(TFilterType type, float frequency, float q, float gain) noexcept
{
    bool changed = false;
    // Types above ftHighShelf are never requested; such a change is ignored.
    if (type != FFilterType && type <= ftHighShelf)
    {
        FFilterType = type;
        changed = true;
    }
    if (gain != FGain && std::isfinite(gain))
    {
        FGain = gain;
        changed = true;
    }
    // A Q (or bandwidth) that is not positive has no filter; it is ignored.
    if (q != FQ && q > 0.0f && std::isfinite(q))
    {
        FQ = q;
        changed = true;
    }
    changed = StoreFrequency(frequency) || changed;
    if (changed)
    {
        CalcCoefficients();
    }
}

void TRBJFilter::SetSampleRate(float sampleRate) noexcept
{
    if (sampleRate == FSampleRate)
    {
        return;
    }
    if (!(sampleRate >= MinSampleRate)) // NaN too
    {
        sampleRate = MinSampleRate;
    }
    FSampleRate = sampleRate;
    FInvSampleRate = 1.0 / static_cast<double>(sampleRate);
    CalcCoefficients();
}

void TRBJFilter::SetParam(std::int32_t index, float value) noexcept
{
    switch (index)
    {
    case 0:
        if (StoreFrequency(value))
        {
            CalcCoefficients();
        }
        break;
    case 1:
        if (value != FGain && std::isfinite(value))
        {
            FGain = value;
            CalcCoefficients();
        }
        break;
    case 2:
        if (value != FQ && value > 0.0f && std::isfinite(value))
        {
            FQ = value;
            CalcCoefficients();
        }
        break;
    default:
        break;
    }
}

void TRBJFilter::SetFilterLike(const TRBJFilter& twin) noexcept
{
    if (twin.FSampleRate == FSampleRate && twin.FFilterType == FFilterType &&
        twin.FFrequency == FFrequency && twin.FQ == FQ && twin.FGain == FGain)
    {
        return;
    }
    FSampleRate = twin.FSampleRate;
    FInvSampleRate = twin.FInvSampleRate;
    FFilterType = twin.FFilterType;
    FFrequency = twin.FFrequency;
    FQ = twin.FQ;
    FGain = twin.FGain;
    GlideTo(twin.FCore.FCoefTarget);
}

void TRBJFilter::SetFrequencyDesigned(float frequency, const std::array<double, 6>& target) noexcept
{
    if (StoreFrequency(frequency))
    {
        GlideTo(target);
    }
}

void TRBJFilter::Reset() noexcept
{
    FCore.FState = {};
    EndGlide();
}

void TRBJFilter::EndGlide() noexcept
{
    if (FCore.FGlideLeft > 0)
    {
        FCore.FCoef = FCore.FCoefTarget;
        FCore.FGlideLeft = 0;
    }
}

void TRBJFilter::CalcCoefficients() noexcept
{
    const double frequency = std::min(static_cast<double>(FFrequency),
                                      MaxCornerRatio * static_cast<double>(FSampleRate));
    const double w0 = 2.0 * Pi * frequency * FInvSampleRate;
    double sn = 0.0;
    double cs = 0.0;
    detmath::SinCos(w0, sn, cs);
    const double q = FQ;

    double alpha = 0.0;
    if (FFilterType >= ftBandPassQ && FFilterType <= ftAllPass)
    {
        alpha = sn * detmath::Sinh(HalfLn2 * q * w0 / sn);
    }
    else
    {
        alpha = sn / (2.0 * q);
    }
    // Only the peaking and shelving types have a gain: the others skip its exponential,
    // which costs as much as the sine and cosine.
    double a = 1.0;
    double beta = 0.0;
    if (FFilterType >= ftPeaking)
    {
        a = detmath::Exp10(static_cast<double>(FGain) / 40.0);
        beta = 2.0 * detmath::Sqrt(a) * alpha;
    }

    std::array<double, 6> t{};
    switch (FFilterType)
    {
    case ftLowPass:
        t = {(1.0 - cs) / 2.0, 1.0 - cs, (1.0 - cs) / 2.0, 1.0 + alpha, -2.0 * cs, 1.0 - alpha};
        break;
    case ftHighPass:
        t = {(1.0 + cs) / 2.0, -(1.0 + cs), (1.0 + cs) / 2.0, 1.0 + alpha, -2.0 * cs, 1.0 - alpha};
        break;
    case ftBandPassQ:
        t = {sn / 2.0, 0.0, -sn / 2.0, 1.0 + alpha, -2.0 * cs, 1.0 - alpha};
        break;
    case ftBandPass:
        t = {alpha, 0.0, -alpha, 1.0 + alpha, -2.0 * cs, 1.0 - alpha};
        break;
    case ftNotch:
        t = {1.0, -2.0 * cs, 1.0, 1.0 + alpha, -2.0 * cs, 1.0 - alpha};
        break;
    case ftAllPass:
        t = {1.0 - alpha, -2.0 * cs, 1.0 + alpha, 1.0 + alpha, -2.0 * cs, 1.0 - alpha};
        break;
    case ftPeaking:
        t = {1.0 + alpha * a, -2.0 * cs, 1.0 - alpha * a,
             1.0 + alpha / a, -2.0 * cs, 1.0 - alpha / a};
        break;
    case ftLowShelf:
        t = {a * ((a + 1.0) - (a - 1.0) * cs + beta), 2.0 * a * ((a - 1.0) - (a + 1.0) * cs),
             a * ((a + 1.0) - (a - 1.0) * cs - beta), (a + 1.0) + (a - 1.0) * cs + beta,
             -2.0 * ((a - 1.0) + (a + 1.0) * cs),     (a + 1.0) + (a - 1.0) * cs - beta};
        break;
    case ftHighShelf:
        t = {a * ((a + 1.0) + (a - 1.0) * cs + beta), -2.0 * a * ((a - 1.0) + (a + 1.0) * cs),
             a * ((a + 1.0) + (a - 1.0) * cs - beta), (a + 1.0) - (a - 1.0) * cs + beta,
             2.0 * ((a - 1.0) - (a + 1.0) * cs),      (a + 1.0) - (a - 1.0) * cs - beta};
        break;
    }

    const double k = 1.0 / t[3];
    std::array<double, 6> target{};
    for (int i = 0; i < 6; ++i)
    {
        target[i] = t[i] * k;
    }
    GlideTo(target);
}

void TRBJFilter::GlideTo(const std::array<double, 6>& target) noexcept
{
    for (int i = 0; i < 6; ++i)
    {
        FCore.FCoefTarget[i] = target[i];
        FCore.FCoefStep[i] = (FCore.FCoefTarget[i] - FCore.FCoef[i]) * GlideFactor;
    }
    FCore.FGlideLeft = GlideLength;
}

} // namespace orvo
