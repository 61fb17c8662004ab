// The 16 parameters: clamping, storage in the current program, names, labels and the
// display texts of every kind.
#include "tests/vst2/TPluginFixture.h"

namespace orvo::test
{
namespace
{
class Parameters : public TPluginFixture
{
  protected:
    Parameters() { Create(); }
};

TEST_F(Parameters, ClampsValuesAndIgnoresIndicesOutsideTheTable)
{
    SetParameter(3, 1.7f);
    EXPECT_EQ(GetParameter(3), 1.0f);
    SetParameter(3, -0.2f);
    EXPECT_EQ(GetParameter(3), 0.0f);
    SetParameter(2, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(GetParameter(2), 0.0f);
    SetParameter(16, 0.3f);
    SetParameter(-1, 0.3f);
    EXPECT_EQ(GetParameter(16), 0.0f);
    EXPECT_EQ(GetParameter(-1), 0.0f);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_NE(GetParameter(i), 0.3f);
    }
}

TEST_F(Parameters, EditTheCurrentProgram)
{
    Dispatch(effSetProgram, 0, 2);
    SetParameter(0, 0.9f);
    Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(GetParameter(0), 0.5f);
    Dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(GetParameter(0), 0.9f);
}

TEST_F(Parameters, HaveTheirNamesAndLabels)
{
    const char* names[] = {"Lo",        "LoMid",   "Mid",        "HiMid",
                           "Hi",        "LoMute",  "LoMidMute",  "MidMute",
                           "HiMidMute", "HiMute",  "Tube",       "Tuning",
                           "InGain",    "OutGain", "OverSample", "Reserved for Quorvane"};
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(Text(effGetParamName, i), names[i]);
    }
    EXPECT_EQ(Text(effGetParamLabel, 0), "");
    EXPECT_EQ(Text(effGetParamLabel, 10), "%");
    EXPECT_EQ(Text(effGetParamLabel, 11), "SemiTones");
    EXPECT_EQ(Text(effGetParamLabel, 12), "dB");
    EXPECT_EQ(Text(effGetParamLabel, 13), "dB");
    EXPECT_EQ(Text(effGetParamName, 16), "undefined");
    EXPECT_EQ(Text(effGetParamLabel, 16), "undefined");
    EXPECT_EQ(Display(16), "undefined");
}

TEST_F(Parameters, BandKnobsShowGainBelowTheMiddleAndTransientAmountAbove)
{
    const std::pair<float, const char*> cases[] = {
        {0.5f, "0.00dB"},   {0.25f, "-24.00dB"}, {0.0f, "-oodB"},     {0.0003f, "-oodB"},
        {0.3f, "-19.20dB"}, {0.75f, "50.00%TD"}, {1.0f, "100.00%TD"}, {0.5000001f, "0.00%TD"},
    };
    for (const auto& [value, text] : cases)
    {
        SetParameter(prMid, value);
        EXPECT_EQ(Display(prMid), text) << value;
    }
    SetParameter(prHi, 0.8f);
    SetParameter(prHi, 0.3f); // leaving transient mode sets the gain in the same call
    EXPECT_EQ(Display(prHi), "-19.20dB");
}

TEST_F(Parameters, OtherDisplayTexts)
{
    SetParameter(prLoMidMute, 0.5f);
    EXPECT_EQ(Display(prLoMidMute), "Muted"); // at once, although the audio fades
    SetParameter(prLoMidMute, 0.49f);
    EXPECT_EQ(Display(prLoMidMute), "Open");

    const std::tuple<int, float, const char*> cases[] = {
        {prTube, 0.0f, "-100.00"},    {prTube, 0.5f, "0.00"},    {prTube, 1.0f, "100.00"},
        {prTuning, 0.0f, "-12.00"},   {prTuning, 1.0f, "12.00"}, {prInGain, 1.0f, "6.00"},
        {prInGain, 0.5f, "0.00"},     {prInGain, 0.75f, "3.00"}, {prOutGain, 0.0f, "   -oo  "},
        {prOutGain, 0.25f, "-24.00"},
    };
    for (const auto& [index, value, text] : cases)
    {
        SetParameter(index, value);
        EXPECT_EQ(Display(index), text) << index << " at " << value;
    }

    SetParameter(prOverSample, 0.49f);
    EXPECT_EQ(Display(prOverSample), "Host Rate Processing");
    SetParameter(prOverSample, 0.5f);
    EXPECT_EQ(Display(prOverSample), "Oversampling On");
}

TEST_F(Parameters, TheReservedParameterLeavesTheBufferAlone)
{
    char text[16] = "abc";
    Dispatch(effGetParamDisplay, prReserved, 0, text);
    EXPECT_STREQ(text, "abc");
}

TEST_F(Parameters, TextsFitTheHostBufferWidthsChosen)
{
    // Every name, label and display text stays within 24 characters and its zero.
    for (int i = 0; i < 17; ++i)
    {
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
        {
            char text[64];
            std::memset(text, 'x', sizeof text);
            Dispatch(opcode, i, 0, text);
            EXPECT_EQ(text[25], 'x') << opcode << " " << i;
        }
    }
}

using ParameterLocale = TPluginFixture;

TEST_F(ParameterLocale, NumbersUseTheUsersDecimalSeparator)
{
    Locale.Separator = ',';
    Create();
    SetParameter(prLo, 0.25f);
    EXPECT_EQ(Display(prLo), "-24,00dB");
    SetParameter(prTuning, 0.5f);
    EXPECT_EQ(Display(prTuning), "0,00");
}
} // namespace
} // namespace orvo::test
