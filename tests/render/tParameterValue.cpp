// Parameter values and programs as a user types them, resolved against the test effect
// (Gain shows -24.00..24.00 with label "dB"; Polarity shows "Normal"/"Inverted") and,
// when built, against Orvo's display texts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/render/uParameterValue.h"
#include "tools/render/uVstHost.h"

namespace orvo
{
namespace
{

using ::testing::HasSubstr;

std::string Failure(TVstPlugin& plugin, std::int32_t index, std::string_view text)
{
    try
    {
        static_cast<void>(ResolveParameterValue(plugin, index, text));
    }
    catch (const EParameterValue& error)
    {
        return error.what();
    }
    return "accepted";
}

/// The display a value resolved from text gives when set.
std::string Shown(TVstPlugin& plugin, std::int32_t index, std::string_view text)
{
    plugin.SetParameter(index, ResolveParameterValue(plugin, index, text));
    return plugin.ParameterDisplay(index);
}

TEST(ResolveParameterValue, TakesNormalisedPositionsOnlyWhenAskedFor)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    EXPECT_FLOAT_EQ(ResolveParameterValue(*plugin, 0, "norm:0.25"), 0.25f);
    EXPECT_FLOAT_EQ(ResolveParameterValue(*plugin, 0, "NORM: 1"), 1.0f);
    EXPECT_EQ(Shown(*plugin, 0, "0.25"), "0.25") << "a bare number is what the display shows";
    EXPECT_EQ(Shown(*plugin, 0, "0"), "0.00");
    EXPECT_THAT(Failure(*plugin, 0, "norm:1.5"), HasSubstr("a number from 0 to 1"));
}

TEST(ResolveParameterValue, FindsNumbersInDisplayUnits)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    EXPECT_EQ(Shown(*plugin, 0, "+6dB"), "6.00");
    EXPECT_EQ(Shown(*plugin, 0, "-7.5 dB"), "-7.50");
    EXPECT_EQ(Shown(*plugin, 0, "-12"), "-12.00") << "a sign means display units";
    EXPECT_EQ(Shown(*plugin, 0, "+1"), "1.00");
    EXPECT_EQ(Shown(*plugin, 0, "20"), "20.00");
}

TEST(ResolveParameterValue, ExplainsValuesOutOfReach)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    EXPECT_THAT(Failure(*plugin, 0, "+30dB"), HasSubstr("Gain shows -24 to 24 dB"));
    EXPECT_THAT(Failure(*plugin, 0, "3Hz"), HasSubstr("Gain shows -24 to 24 dB"));
    EXPECT_THAT(Failure(*plugin, 1, "Sideways"), HasSubstr("Polarity shows Normal, Inverted"));
}

TEST(ResolveParameterValue, MatchesDisplayTextsAndOnOff)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    EXPECT_EQ(Shown(*plugin, 1, "inverted"), "Inverted");
    EXPECT_EQ(Shown(*plugin, 1, "Normal"), "Normal");
    EXPECT_EQ(ResolveParameterValue(*plugin, 1, "on"), 1.0f);
    EXPECT_EQ(ResolveParameterValue(*plugin, 1, "off"), 0.0f);
}

TEST(ResolveParameterValue, LeavesTheParameterAsItWasWhileSearching)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    plugin->SetParameter(0, 0.3f);
    static_cast<void>(ResolveParameterValue(*plugin, 0, "+3dB"));
    static_cast<void>(Failure(*plugin, 0, "+99dB"));
    EXPECT_EQ(plugin->Parameter(0), 0.3f);
}

TEST(ResolveParameterAndProgram, AcceptNamesOrIndicesAndNameTheChoicesOtherwise)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    EXPECT_EQ(ResolveParameter(*plugin, "polarity"), 1);
    EXPECT_EQ(ResolveParameter(*plugin, "0"), 0);
    EXPECT_THROW(static_cast<void>(ResolveParameter(*plugin, "2")), EParameterValue);
    try
    {
        static_cast<void>(ResolveParameter(*plugin, "Volume"));
        FAIL() << "unknown parameter accepted";
    }
    catch (const EParameterValue& error)
    {
        EXPECT_THAT(error.what(), HasSubstr("parameters: Gain, Polarity"));
    }
    EXPECT_EQ(ResolveProgram(*plugin, "2"), 2);
    EXPECT_EQ(ResolveProgram(*plugin, "quiet"), 1);
    EXPECT_THROW(static_cast<void>(ResolveProgram(*plugin, "3")), EParameterValue);
    EXPECT_THROW(static_cast<void>(ResolveProgram(*plugin, "Silent")), EParameterValue);
}

#ifdef ORVO_MODULE
TEST(ResolveParameterValue, SpeaksOrvosDisplayUnits)
{
    auto orvo = TVstPlugin::Load(ORVO_MODULE);
    const auto index = [&](const char* name) { return ResolveParameter(*orvo, name); };
    // Every text --list shows, in any spacing, and bare numbers in display units.
    const std::pair<const char*, const char*> cases[] = {
        {"InGain=+3dB", "3.00"},
        {"InGain=0", "0.00"},
        {"Tuning=0", "0.00"},
        {"Tuning=-2", "-2.00"},
        {"Lo=-6dB", "-6.00dB"},
        {"Mid=50", "50.00%TD"},
        {"Lo=50%", "50.00%TD"},
        {"Lo=50.00%TD", "50.00%TD"},
        {"Lo= 50.00 %TD", "50.00%TD"},
        {"Lo=-oo", "-oodB"},
        {"Lo=-oo dB", "-oodB"},
        {"OutGain=-oo", "   -oo  "},
        {"OutGain=-oo dB", "   -oo  "},
        {"OutGain=-oodB", "   -oo  "},
        {"HiMute=Muted", "Muted"},
        {"Tube=-40%", "-40.00"},
        {"OverSample=Host Rate Processing", "Host Rate Processing"},
        {"Lo=0.5%", "0.50%TD"},
        {"Lo=0.50%TD", "0.50%TD"},
        {"OutGain=-95.5", "-95.50"},
    };
    for (const auto& [assignment, display] : cases)
    {
        const std::string text(assignment);
        const auto equals = text.find('=');
        EXPECT_EQ(Shown(*orvo, index(text.substr(0, equals).c_str()), text.substr(equals + 1)),
                  display)
            << assignment;
    }
    EXPECT_THAT(Failure(*orvo, index("InGain"), "+20"), HasSubstr("InGain shows -oo dB, "));
    EXPECT_THAT(Failure(*orvo, index("Tuning"), "13"),
                HasSubstr("Tuning shows -12 to 12 SemiTones"));
    EXPECT_EQ(ResolveProgram(*orvo, "DeftFunk"), 12);
    EXPECT_EQ(ResolveProgram(*orvo, "Spare"), 14) << "the first of two equal names";
}
#endif

} // namespace
} // namespace orvo
