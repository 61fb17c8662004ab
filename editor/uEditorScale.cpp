#include "editor/uEditorScale.h"

#include <cmath>

namespace orvo
{

double ScaleFactor(TEditorScale scale)
{
    switch (scale)
    {
    case es150:
        return 1.5;
    case es200:
        return 2.0;
    case es100:
        break;
    }
    return 1.0;
}

TEditorScale NearestScale(double factor)
{
    // Halfway between two sizes the larger one wins: text too small is worse than a
    // window a little large.
    if (!(factor >= 1.25))
    {
        return es100;
    }
    return factor < 1.75 ? es150 : es200;
}

TEditorScale ChooseScale(std::optional<TEditorScale> user, std::optional<double> host,
                         double display)
{
    if (user)
    {
        return *user;
    }
    return NearestScale(host.value_or(display));
}

std::int32_t Scaled(std::int32_t length, TEditorScale scale)
{
    // An odd length at 150 % falls between two pixels: the nearest even one is taken.
    return static_cast<std::int32_t>(std::lrint(length * ScaleFactor(scale)));
}

} // namespace orvo
