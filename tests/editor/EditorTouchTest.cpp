// Touch automation: hosts record the editor's changes only between beginEdit and endEdit,
// so every gesture is bracketed: a knob drag from its press to its release (or to the close
// of the window under it), and every value that a click or a menu command sets at once.
#include "tests/editor/EditorFixture.h"

#include <functional>

namespace orvo::test
{
namespace
{

class EditorTouch : public TEditorFixture
{
  protected:
    void SetUp() override { Open(); }
};

TEST_F(EditorTouch, EveryGestureIsBracketedByBeginAndEndEdit)
{
    struct TCase
    {
        const char* Name;
        std::function<void()> Gesture;
        const char* Expected;
    };
    const std::vector<TCase> cases{
        {"drag", [this] { Drag(Knob(prMid), 4, 2); }, "b2 a2 a2 e2"},
        {"shift drag on Tuning", [this] { Drag(Knob(prTuning), 1, 1, ssShift); }, "b11 a11 e11"},
        {"press without move", [this] { Click(Knob(prLo)); }, "b0 e0"},
        {"wheel, each notch",
         [this]
         {
             Wheel(Knob(prHi), 1);
             Wheel(Knob(prHi), -1, ssShift);
         },
         "b4 a4 e4 b4 a4 e4"},
        {"mute key", [this] { Click(Button(prHiMute)); }, "b9 a9 e9"},
        {"solo", [this] { Click(Button(prMidMute), mbLeft, ssShift); },
         "b5 a5 e5 b6 a6 e6 b7 a7 e7 b8 a8 e8 b9 a9 e9"},
        {"centre knob, then its drag", [this] { Click(Knob(prTube), mbLeft, ssShift | ssCtrl); },
         "b10 a10 e10 b10 e10"},
        {"Centre menu", [this] { ChooseFromMenu(Knob(prInGain), {"Centre"}); }, "b12 a12 e12"},
        {"Solo menu", [this] { ChooseFromMenu(Button(prLoMute), {"Solo"}); },
         "b5 a5 e5 b6 a6 e6 b7 a7 e7 b8 a8 e8 b9 a9 e9"},
        {"oversampling", [this] { Click(Button(prOverSample)); }, "b14 a14 e14"},
    };
    for (const TCase& c : cases)
    {
        SetParameter(prLoMute, 0.0f);
        Platform.Advance(100);
        Host.ClearCalls();
        c.Gesture();
        EXPECT_EQ(Gestures(), c.Expected) << c.Name;
    }
}

TEST_F(EditorTouch, ClosingTheEditorOrTheEffectMidDragEndsTheEdit)
{
    for (const bool closeEffect : {false, true})
    {
        if (closeEffect)
        {
            Open();
        }
        const TPoint p = Centre(Knob(prLo));
        Screen().MouseMove(p.X, p.Y);
        Screen().MouseDown(mbLeft, p.X, p.Y);
        Screen().MouseMove(p.X, p.Y - 3);
        if (closeEffect)
        {
            Instance.Close();
        }
        else
        {
            Instance.Dispatch(effEditClose);
        }
        EXPECT_EQ(Gestures(), "b0 a0 e0") << closeEffect;
        EXPECT_TRUE(Platform.PointerVisible());
    }
}

} // namespace
} // namespace orvo::test
