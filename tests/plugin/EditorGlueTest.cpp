// The editor glue: its rectangle, open and close counting, FEditorClosed and the copy of
// the parameter values, with a stand-in window.
#include "tests/plugin/TPluginFixture.h"

namespace orvo::test
{
namespace
{
struct TWindowLog
{
    int Created = 0;
    int Destroyed = 0;
    int Shown = 0;
    bool Fail = false;
};
TWindowLog* CurrentLog = nullptr;

class TFakeWindow final : public TEditorWindow
{
public:
    TFakeWindow()
    {
        ++CurrentLog->Created;
    }
    ~TFakeWindow() override
    {
        ++CurrentLog->Destroyed;
    }
    std::int16_t ClientWidth() const override
    {
        return 700;
    }
    std::int16_t ClientHeight() const override
    {
        return 300;
    }
    void ShowCurrentValues() override
    {
        ++CurrentLog->Shown;
    }
};

std::unique_ptr<TEditorWindow> MakeFakeWindow(APluginEditor&, void*)
{
    if (CurrentLog->Fail)
    {
        throw std::runtime_error("no window");
    }
    return std::make_unique<TFakeWindow>();
}

TEditorParts MakeGlueWithFakeWindow(APlugin& effect)
{
    auto* glue = new APluginEditor(&effect, &MakeFakeWindow);
    return {glue, glue};
}

class EditorGlue : public TPluginFixture
{
protected:
    EditorGlue()
    {
        CurrentLog = &Log;
        Create(nullptr, &MakeGlueWithFakeWindow);
        Glue = static_cast<APluginEditor*>(Plugin().getEditor());
    }
    ~EditorGlue() override
    {
        Close();
        CurrentLog = nullptr;
    }

    TWindowLog Log;
    APluginEditor* Glue = nullptr;
    int Parent = 0;
};

TEST_F(EditorGlue, CountsOpensAndKeepsTheWindowUntilTheLastClose)
{
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 1);
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 1);
    EXPECT_EQ(Log.Created, 1);
    EXPECT_EQ(Log.Shown, 2);
    EXPECT_EQ(Plugin().effect().FEditorClosed.load(), 0);
    Dispatch(effEditClose);
    EXPECT_TRUE(Glue->hasWindow());
    Dispatch(effEditClose);
    EXPECT_FALSE(Glue->hasWindow());
    EXPECT_EQ(Log.Destroyed, 1);
    EXPECT_EQ(Plugin().effect().FEditorClosed.load(), 1);
    Dispatch(effEditClose); // unmatched
    EXPECT_EQ(Glue->openCount, 0);

    ERect* rect = nullptr;
    EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->bottom, 300);
    EXPECT_EQ(rect->right, 700);
}

TEST_F(EditorGlue, CopiesParameterValuesOnlyWhileNotClosed)
{
    SetParameter(prTube, 0.9f);
    Dispatch(effEditOpen, 0, 0, &Parent);
    EXPECT_EQ(Glue->values[prTube].load(), 0.9f); // set while closed, shown on open
    SetParameter(prTube, 0.2f);
    EXPECT_EQ(Glue->values[prTube].load(), 0.2f);
    Dispatch(effEditClose);
    SetParameter(prTube, 0.7f);
    EXPECT_EQ(Glue->values[prTube].load(), 0.2f);
}

TEST_F(EditorGlue, RefusesANullParentAndSurvivesAFailingWindow)
{
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, nullptr), 0);
    Log.Fail = true;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 0);
    EXPECT_EQ(Glue->openCount, 0);
    Log.Fail = false;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 1);
    EXPECT_EQ(Glue->openCount, 1);
}

TEST_F(EditorGlue, AnOpenWindowIsDestroyedWithTheEffect)
{
    Dispatch(effEditOpen, 0, 0, &Parent);
    Close();
    EXPECT_EQ(Log.Destroyed, 1);
    Create(); // for the fixture's own close
}
} // namespace
} // namespace orvo::test
