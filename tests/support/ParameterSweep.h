// Normalised values that exercise every parameter's mapping: 0..1 in even steps, and both
// neighbours of the level curve's silence edge, of 0.25 (where its slope changes) and of the
// middle (where bands, mutes and switches change over).
#pragma once

#include <cmath>
#include <vector>

namespace orvo::test
{
inline std::vector<float> ParameterSweep(int steps = 1000)
{
    std::vector<float> values;
    for (int i = 0; i <= steps; ++i)
    {
        values.push_back(static_cast<float>(i) / static_cast<float>(steps));
    }
    for (const float edge : {0.000347f, 0.25f, 0.5f})
    {
        values.push_back(std::nextafter(edge, 0.0f));
        values.push_back(std::nextafter(edge, 1.0f));
    }
    return values;
}
} // namespace orvo::test
