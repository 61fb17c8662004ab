// The editor against a host that records what the editor writes and echoes nothing back:
// after every command (a toggle, a reset, a solo, an invert, "Centre", open all), the
// window's pixels are those of a fresh editor given the values the host holds. This is the
// shared window of every format, so it holds for the VST 2 editor and the LV2 UI alike.
#include <gtest/gtest.h>

#include "editor/uEditor.h"
#include "platform/headless/HeadlessPlatform.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace orvo::test
{
namespace
{

// lblHint and its shadow: the value text of the last touched control, which a fresh editor
// does not show.
constexpr TRect ValueLabels{291, 269, 293 + 119, 271 + 20};

/// The host's side: it holds whatever the editor last wrote and sends nothing back.
class TRecordingEffect final : public IEditorEffect
{
  public:
    void SetParameter(std::int32_t index, float value) override
    {
        Held.at(static_cast<std::size_t>(index)) = value;
    }
    void BeginEdit(std::int32_t) override {}
    void EndEdit(std::int32_t) override {}
    std::string ParameterDisplay(std::int32_t) override { return {}; }
    std::string ParameterLabel(std::int32_t) override { return {}; }
    std::string ProgramName() override { return {}; }
    void StartMidiLearn(std::int32_t) override {}
    void ResetMidiMap() override {}
    void RestoreDefaultMidiMap() override {}
    std::optional<std::string> MidiMapReport() override { return std::nullopt; }

    std::array<float, ParameterCount> Held{};
};

/// A window on a headless window system of its own, showing values.
struct TShownEditor
{
    explicit TShownEditor(const std::array<float, ParameterCount>& start)
    {
        for (std::size_t i = 0; i < start.size(); ++i)
        {
            Values[i].store(start[i]);
        }
        Window = std::make_unique<TPluginEditorWindow>(Platform, 0, Values);
        Window->ShowCurrentValues();
        Platform.DeliverPaints();
    }
    THeadlessWindow& Screen() { return *Platform.LastWindow(); }

    THeadlessPlatform Platform;
    TEditorValues Values;
    std::unique_ptr<TPluginEditorWindow> Window;
};

class EditorHeldValues : public ::testing::Test
{
  protected:
    EditorHeldValues()
    {
        for (std::int32_t i = 0; i < ParameterCount; ++i)
        {
            Host.Held[static_cast<std::size_t>(i)] = InfoOf(i).Default;
        }
        // Three bands muted, two open: every mute command changes something.
        for (std::int32_t k : {prLoMute, prMidMute, prHiMute})
        {
            Host.Held[static_cast<std::size_t>(k)] = 1.0f;
        }
        Host.Held[prInGain] = 0.9f;
        Host.Held[prHiMid] = 1.0f;
        Host.Held[prTuning] = 0.8f;
        Editor = std::make_unique<TShownEditor>(Host.Held);
        Editor->Window->effect = &Host;
    }

    /// Clicks the control of parameter with button and modifiers, the pointer then leaves.
    void Click(std::int32_t parameter, TMouseButton button, TShiftState modifiers)
    {
        TPluginEditorWindow& window = *Editor->Window;
        const TCustomDIBControl* control = window.KnobOf(parameter);
        if (control == nullptr)
        {
            control = window.ButtonOf(parameter);
        }
        const TPoint p{control->Left() + control->Width() / 2,
                       control->Top() + control->Height() / 2};
        Editor->Platform.SetModifiers(modifiers);
        Editor->Screen().MouseMove(p.X, p.Y);
        Editor->Screen().MouseDown(button, p.X, p.Y);
        Editor->Screen().MouseUp(button, p.X, p.Y);
        Editor->Platform.SetModifiers(ssNone);
        Editor->Screen().MouseMove(1, 1);
    }

    /// Pixels of the editor that differ from a fresh editor given the host's values,
    /// outside the value labels, after one refresh (a pressed key's own toggle on release
    /// shows until then, as it always has).
    int DifferencesFromHeld()
    {
        Editor->Platform.Advance(form::UpdaterInterval);
        TShownEditor fresh(Host.Held);
        const std::vector<std::uint8_t>& expected = fresh.Screen().Screen();
        const std::vector<std::uint8_t>& shown = Editor->Screen().Screen();
        int differences = 0;
        for (int y = 0; y < 300; ++y)
        {
            for (int x = 0; x < 700; ++x)
            {
                const auto at = static_cast<std::size_t>((y * 700 + x) * 4);
                if (!ValueLabels.Contains(TPoint{x, y}) &&
                    !std::equal(&shown[at], &shown[at + 3], &expected[at]))
                {
                    ++differences;
                }
            }
        }
        return differences;
    }

    TRecordingEffect Host;
    std::unique_ptr<TShownEditor> Editor;
};

TEST_F(EditorHeldValues, EveryCommandShowsWhatTheHostHoldsWithoutAnEcho)
{
    struct TCommand
    {
        std::string Name;
        std::function<void()> Run;
    };
    const auto click = [this](std::int32_t parameter, TShiftState modifiers)
    { return [=, this] { Click(parameter, mbLeft, modifiers); }; };
    const auto fromMenu = [this](std::int32_t parameter, std::string caption)
    {
        return [=, this]
        {
            Editor->Platform.QueueMenuAnswer({caption});
            Click(parameter, mbRight, ssNone);
        };
    };
    const std::vector<TCommand> commands{
        {"toggle", click(prLoMidMute, ssNone)},
        {"reset a slider", click(prHiMid, ssCtrl | ssShift)},
        {"reset a rotary knob", click(prTuning, ssCtrl | ssShift)},
        {"solo", click(prMidMute, ssShift)},
        {"invert", click(prLoMute, ssCtrl)},
        {"invert again", click(prLoMute, ssCtrl)},
        {"centre", fromMenu(prInGain, "Centre")},
        {"solo from the menu", fromMenu(prHiMute, "Solo")},
        {"open all", click(prHiMidMute, ssCtrl | ssShift)},
        {"oversampling", click(prOverSample, ssShift)},
    };
    auto before = Host.Held;
    for (const TCommand& command : commands)
    {
        command.Run();
        EXPECT_NE(Host.Held, before) << command.Name << " changed nothing";
        before = Host.Held;
        EXPECT_EQ(DifferencesFromHeld(), 0) << command.Name;
    }
    EXPECT_EQ(Host.Held[prInGain], 0.5f);
    EXPECT_EQ(Host.Held[prTuning], 0.5f);
    EXPECT_EQ(Host.Held[prHiMid], 0.5f);
}

} // namespace
} // namespace orvo::test
