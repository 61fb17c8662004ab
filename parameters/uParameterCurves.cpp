#include "parameters/uParameterCurves.h"

#include "maths/uDetMath.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace orvo
{
namespace
{
float ComputedLevelCurve(float x) noexcept
{
    const float decibels = LevelDecibelSteps(x);
    if (decibels < LevelSilenceDecibels)
    {
        return 0.0f;
    }
    return static_cast<float>(detmath::Exp(static_cast<double>(decibels) * DecibelToExponent));
}

/// The curve at the 128 values a MIDI controller sets (k / 127), worked out once: the
/// exponential costs more than the audio between two controllers sent every 64 samples.
const std::array<float, 128>& ControllerLevels() noexcept
{
    static const std::array<float, 128> levels = []
    {
        std::array<float, 128> table{};
        for (std::size_t k = 0; k < table.size(); ++k)
        {
            table[k] = ComputedLevelCurve(static_cast<float>(static_cast<double>(k) / 127.0));
        }
        return table;
    }();
    return levels;
}
} // namespace

float LevelCurve(float x) noexcept
{
    if (x >= 0.0f && x <= 1.0f)
    {
        const auto k = static_cast<std::size_t>(x * 127.0f + 0.5f);
        if (static_cast<float>(static_cast<double>(k) / 127.0) == x)
        {
            return ControllerLevels()[k];
        }
    }
    return ComputedLevelCurve(x);
}

TTubeSetting TubeSettingFor(float x) noexcept
{
    TTubeSetting setting{};
    setting.Drive = 0.6f * x + 0.2f;
    setting.Shape = 1.0f - 1.0f / setting.Drive;
    setting.Limit = TubeInputCeiling;
    const double k = setting.Shape;
    if (k < -1.0)
    {
        // Input at which p / ((p - 1) k + p) = C: p = -C k / (1 - C (1 + k)), which lies
        // below the pole k / (1 + k) for every C > 0.
        const double c = TubeExpanderCeiling;
        setting.Limit = std::min(setting.Limit, -c * k / (1.0 - c * (1.0 + k)));
    }
    return setting;
}
} // namespace orvo
