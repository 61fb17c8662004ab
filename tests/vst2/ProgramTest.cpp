// Programs: the factory bank as embedded, selection, names, and the bank reader's rules.
#include "core/uBankReader.h"
#include "parameters/uNumberText.h"
#include "tests/vst2/TPluginFixture.h"

#include <functional>

namespace orvo::test
{
namespace
{
using namespace std::string_literals;

struct TFactoryProgram
{
    const char* Name;
    std::array<float, 16> Values;
};

// The factory programs as the design lists them.
const TFactoryProgram FactoryPrograms[16] = {
    {"Flat", {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"BoomBox", {0.6f, 0.8f, 0.5f, 0.3f, 0.3f, 0, 0, 0, 1, 0, 0.6f, 0.3f, 0.5f, 0.55f, 0.5f, 0.5f}},
    {"AirBourne",
     {0.5f, 0.5f, 0.5f, 0.65f, 0.77f, 0, 0, 0, 0, 0, 0.39f, 0.95f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"TranSister",
     {0.386f, 0.5f, 0.5f, 0.65f, 0.5f, 0, 0, 1, 0, 0, 0.276f, 0.56f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"Pushed",
     {0.5f, 0.613f, 0.5f, 0.56f, 0.44f, 0, 0, 0, 0, 0, 0.5f, 0.5f, 0.67f, 0.42f, 0.5f, 0.5f}},
    {"MiddleAgeSpread",
     {0.5f, 0.42f, 0.7f, 0.518f, 0.5f, 0, 0, 0, 0, 1, 0.45f, 0.64f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"MissingOut",
     {0.5f, 0.35f, 0.4478f, 0.49f, 0.5f, 0, 0, 0, 0, 0, 0.3f, 0.45f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"Mutant", {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 1, 0, 1, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"Overdrive",
     {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0.9f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"UnderDrive",
     {0.5f, 0.5f, 0.5f, 0.5f, 0.6f, 0, 0, 0, 0, 0, 0.1f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"Entschuldigung",
     {0.5f, 0.7f, 0.5f, 0.39f, 0.56f, 0, 0, 0, 0, 0, 0.6f, 0.35f, 0.3f, 0.7f, 0.5f, 0.5f}},
    {"ReachForTheHigh",
     {0.3f, 0.2f, 0.5f, 0.7f, 0.568f, 1, 1, 0, 0, 0, 0.57f, 0.54f, 0.6f, 0.45f, 0.5f, 0.5f}},
    {"DeftFunk",
     {0.6f, 0.4f, 0.6f, 0.4f, 0.6f, 0, 0, 0, 0, 0, 0.64f, 0.6f, 0.65f, 0.45f, 0.5f, 0.5f}},
    {"ExcitingSub",
     {0.65f, 0.7f, 0.4f, 0.5f, 0.5f, 0, 0, 0, 1, 1, 0.347f, 0.6f, 0.5f, 0.6f, 0.5f, 0.5f}},
    {"Spare", {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {"Spare", {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
};

using Programs = TPluginFixture;

/// An editor object whose parameter listener runs Meddle once, at its Nth call: a way to
/// change a parameter in the middle of a program change, as a controller on the
/// processing thread may.
class TMeddlingEditor final : public AEffEditor, public TParameterListener
{
  public:
    using AEffEditor::AEffEditor;
    void parametersChanged() noexcept override
    {
        if (++Calls == MeddleAt)
        {
            Meddle();
        }
    }
    int Calls = 0;
    int MeddleAt = 0;
    std::function<void()> Meddle;
};

TMeddlingEditor* Meddler = nullptr;

TEditorParts MakeMeddlingEditor(APlugin& effect)
{
    Meddler = new TMeddlingEditor(&effect);
    return {Meddler, Meddler};
}

TEST_F(Programs, HoldTheFactoryBankAndStartInFlat)
{
    Create();
    EXPECT_EQ(Dispatch(effGetProgram), 0);
    EXPECT_EQ(Text(effGetProgramName), "Flat");
    EXPECT_EQ(Display(prOverSample), "Oversampling On");
    for (int p = 0; p < 16; ++p)
    {
        char name[64] = {};
        EXPECT_EQ(Dispatch(effGetProgramNameIndexed, p, 0, name), 1);
        EXPECT_STREQ(name, FactoryPrograms[p].Name);
        Dispatch(effSetProgram, 0, p);
        for (int i = 0; i < 16; ++i)
        {
            EXPECT_EQ(GetParameter(i), FactoryPrograms[p].Values[static_cast<std::size_t>(i)])
                << "program " << p << " parameter " << i;
        }
    }
    Dispatch(effSetProgram, 0, 13);
    EXPECT_EQ(Display(8), "Muted");
    EXPECT_TRUE(MessageBox.Messages.empty());
}

TEST_F(Programs, IgnoreIndicesOutsideTheBank)
{
    Create();
    Dispatch(effSetProgram, 0, 3);
    Dispatch(effSetProgram, 0, 16);
    Dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(Dispatch(effGetProgram), 3);
    char name[64] = "keep";
    EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 16, 0, name), 0);
    EXPECT_STREQ(name, "keep");
}

TEST_F(Programs, RenameOnlyTheCurrentProgramAndCutLongNames)
{
    Create();
    Dispatch(effSetProgram, 0, 4);
    Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Mine"));
    EXPECT_EQ(Text(effGetProgramName), "Mine");
    EXPECT_EQ(Text(effGetProgramNameIndexed, 5), "MiddleAgeSpread");

    // Names to the host stop at the published 24 characters.
    std::string longName(60, 'n');
    Dispatch(effSetProgramName, 0, 0, longName.data());
    char text[64];
    std::memset(text, 'x', sizeof text);
    Dispatch(effGetProgramName, 0, 0, text);
    EXPECT_EQ(std::string(text), std::string(24, 'n'));
    EXPECT_EQ(text[25], 'x');
}

TEST_F(Programs, KeepEveryEditInExactlyOneProgramDuringAChange)
{
    Create(nullptr, &MakeMeddlingEditor);
    Dispatch(effSetProgram, 0, 2); // "AirBourne"
    SetParameter(prLo, 0.9f);      // an edit of the current program
    // Changing to "MiddleAgeSpread", each parameter is handed over in index order and the
    // editor told after each: the 4th call comes after "HiMid" was handed over.
    Meddler->Calls = 0;
    Meddler->MeddleAt = 4;
    Meddler->Meddle = [this]
    {
        SetParameter(prLoMid, 0.125f); // already handed over: an edit of the program selected
        SetParameter(prTuning, 0.25f); // not yet: an edit of the program left
    };
    Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(GetParameter(prLoMid), 0.125f);
    EXPECT_EQ(GetParameter(prTuning), 0.64f);
    Dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(GetParameter(prLo), 0.9f);
    EXPECT_EQ(GetParameter(prLoMid), 0.5f);
    EXPECT_EQ(GetParameter(prTuning), 0.25f);
    Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(GetParameter(prLoMid), 0.125f);
    EXPECT_EQ(GetParameter(prTuning), 0.64f);
    Dispatch(effSetProgram, 0, 5); // selecting the current program keeps its edits
    EXPECT_EQ(GetParameter(prLoMid), 0.125f);
}

TEST_F(Programs, ReadMalformedValuesAsZeroAndMissingOnesAsTheTableDefault)
{
    Resources.Bank = "; comment\r\n"
                     "[prog4]\r\n"
                     "  name = Four  \r\n"
                     "Param0=0,5\r\n"
                     "PARAM1=+.25\r\n"
                     "Param2=1e-1\r\n"
                     "Param3=\r\n"
                     "Param4=0.5x\r\n"
                     "Param5=0.75\r\n"
                     "Param5=0.1\r\n"
                     "[Prog4]\r\n"
                     "Param6=0.9\r\n"
                     "[Prog5]\r\n"
                     "Name=\r\n"
                     "Param0=7\r\n"
                     "\0\0\0"s;
    Create();
    EXPECT_EQ(Text(effGetProgramNameIndexed, 4), "Four");
    EXPECT_EQ(Text(effGetProgramNameIndexed, 5), "");
    EXPECT_EQ(Text(effGetProgramNameIndexed, 6), "Quorvane Orvo 6"); // no section
    Dispatch(effSetProgram, 0, 4);
    const float expected[] = {0.0f, 0.25f, 0.1f, 0.0f, 0.0f, 0.75f, 0.0f};
    for (int i = 0; i < 7; ++i)
    {
        EXPECT_EQ(GetParameter(i), expected[i]) << i;
    }
    EXPECT_EQ(GetParameter(prTube), InfoOf(prTube).Default); // Param10 missing
    Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(GetParameter(0), 1.0f); // clamped when applied
}

TEST_F(Programs, ReadButNeverChangeAnIniFileBesideTheModule)
{
    const std::string ini = "[Prog0]\r\nName=Hacked\r\nParam0=0.1\r\n";
    WriteFile(Folder.Path() / "Orvo.ini", ini);
    Create();
    EXPECT_EQ(Text(effGetProgramName), "Flat");
    EXPECT_EQ(GetParameter(0), 0.5f);
    Close();
    EXPECT_EQ(ReadFile(Folder.Path() / "Orvo.ini"), ini);
}

TEST(BankReader, FirstSectionAndKeyOfANameCount)
{
    const TBankReader bank(
        "Name=before any section\n[A]\r\nk=1\nK=2\n[ a ]\nk=3\n[B]\rx = y = z \n;x=no\n");
    EXPECT_EQ(bank.Value("a", "K"), "1");
    EXPECT_EQ(bank.Value("b", "x"), "y = z");
    EXPECT_FALSE(bank.Value("", "Name"));
    EXPECT_FALSE(bank.Value("C", "k"));
    EXPECT_FALSE(bank.Value("A", "missing"));
}

TEST(NumberText, ParsesOnlyWellFormedDecimals)
{
    EXPECT_EQ(ParseDecimal("0.386"), 0.386f);
    EXPECT_EQ(ParseDecimal("-1"), -1.0f);
    EXPECT_EQ(ParseDecimal("2E-1"), 0.2f);
    EXPECT_EQ(ParseDecimal("1."), 1.0f);
    for (const char* bad : {"", "0,5", " 1", "1 ", "inf", "nan", "+-1", "0x1", "1e", "."})
    {
        EXPECT_FALSE(ParseDecimal(bad)) << bad;
    }
    EXPECT_EQ(FormatFixed2(-0.004, '.'), "-0.00");
    EXPECT_EQ(FormatFixed2(2.675, ','), "2,67"); // 2.675 is 2.67499999... in binary
}
} // namespace
} // namespace orvo::test
