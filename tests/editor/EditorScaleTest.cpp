// Which size the editor opens at: the user's choice, else the host's, else the display's,
// taken to the nearest drawn size.
#include "editor/uEditorScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvo::test
{
namespace
{

TEST(EditorScale, TheUserOverridesTheHostWhichOverridesTheDisplay)
{
    struct TCase
    {
        std::optional<TEditorScale> User;
        std::optional<double> Host;
        double Display;
        TEditorScale Expected;
    };
    const TCase cases[] = {
        {std::nullopt, std::nullopt, 1.0, es100},
        {std::nullopt, std::nullopt, 2.0, es200}, // Xft.dpi 192
        {std::nullopt, std::nullopt, 1.5, es150}, // 144 dpi
        {std::nullopt, 1.5, 2.0, es150},          // the host tells, the display is ignored
        {std::nullopt, 1.0, 2.0, es100},
        {es100, 2.0, 2.0, es100},                 // the menu's choice stands over both
        {es200, std::nullopt, 1.0, es200},
        // Between sizes: to the nearest, halfway up; below 100 % and nonsense at 100 %.
        {std::nullopt, 1.24, 1.0, es100},
        {std::nullopt, 1.25, 1.0, es150},
        {std::nullopt, 1.75, 1.0, es200},
        {std::nullopt, 3.0, 1.0, es200},
        {std::nullopt, 0.5, 2.0, es100},
        {std::nullopt, std::numeric_limits<double>::quiet_NaN(), 2.0, es100},
    };
    for (const TCase& c : cases)
    {
        EXPECT_EQ(ChooseScale(c.User, c.Host, c.Display), c.Expected)
            << (c.User ? static_cast<int>(*c.User) : -1) << " " << c.Host.value_or(-1.0) << " "
            << c.Display;
    }
}

TEST(EditorScale, TheFormsLengthsScaleToWholePixels)
{
    EXPECT_EQ(Scaled(700, es150), 1050);
    EXPECT_EQ(Scaled(300, es150), 450);
    EXPECT_EQ(Scaled(700, es200), 1400);
    EXPECT_EQ(Scaled(49, es150), 74); // 73.5: to the even pixel
    EXPECT_EQ(Scaled(49, es100), 49);
}

} // namespace
} // namespace orvo::test
