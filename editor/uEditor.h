// TPluginEditorWindow: the editor the host embeds. A borderless 700 x 300 window drawn from
// the stored images, built from the tables of uEditorForm.h: nine knobs and six toggle
// buttons for the parameters, two fading value labels, the credits picture, three pop-up
// menus and three timers. Everything here runs on the user-interface thread; the only
// data another thread writes is the glue's values array, read on the refresh timer.
#pragma once

#include "editor/IEditorEffect.h"
#include "editor/toolkit/cDIBComponent.h"
#include "editor/toolkit/cDIBFadeLabel.h"
#include "editor/toolkit/cDIBGlyphButton.h"
#include "editor/toolkit/cDIBImage.h"
#include "editor/toolkit/cDIBImageList.h"
#include "editor/toolkit/cDIBKnob.h"
#include "editor/toolkit/cDIBMenu.h"
#include "editor/toolkit/cDIBPanel.h"
#include "editor/toolkit/cDIBTimer.h"
#include "editor/uCountingPlatform.h"
#include "editor/uEditorForm.h"
#include "editor/uEditorScale.h"
#include "editor/uEditorWindow.h"
#include "parameters/uParameterTable.h"
#include "platform/ui/IUIPlatform.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvo
{
class APlugin;

class TPluginEditorWindow final : public TEditorWindow, public TDIBComponent
{
    // Declared first, so destroyed last: every window and timer of the form is made on it.
    TCountingPlatform FPlatform;

  public:
    /// Creates the form as a borderless child of the native window parent at a size, loads
    /// its images for that size and runs FormCreate. Throws EDIBError when the window or an
    /// image cannot be made.
    TPluginEditorWindow(IUIPlatform& platform, std::uintptr_t parent, TEditorValues& values,
                        TEditorScale scale = es100);
    ~TPluginEditorWindow() override;

    // TEditorWindow
    std::int16_t ClientWidth() const override;
    std::int16_t ClientHeight() const override;
    /// The size the form is drawn at.
    TEditorScale Scale() const { return FScale; }
    /// Repaints at once, enables Updater and runs one refresh, so the controls show values
    /// before the first tick.
    void ShowCurrentValues() override;
    /// Lets the window system run its pending events, timers and paints.
    void Idle() override;
    /// Destroys the window, or, while one of its handlers runs (the host closed the editor
    /// or the effect from a modal menu or message box of the window), hides it, stops its
    /// timers, lets go of the effect and of the glue's values, and destroys it when the
    /// window system's call into it returns. No handler does anything from then on.
    void Close(std::unique_ptr<TEditorWindow> self) override;
    /// True once Close has let the window outlive its glue, or once the window system
    /// lost its display (the window is then gone from the screen for good).
    bool Closed() const { return FClosed || FPlatform.Lost(); }

    /// Keeps the window system alive as long as this window (which may outlive the glue).
    void KeepPlatformAlive(std::shared_ptr<IUIPlatform> platform);

    /// Moves the window to 0, 0 inside its parent, keeping its size.
    void MoveToOrigin();

    /// Shows the MIDI map report that the effect sent after MidiMapReport answered none,
    /// in the window's message box (modal to the window; on X11 it returns at once).
    void ShowMidiMapReport(std::string_view text);
    /// The window system's handle of the client window (the host embeds it).
    std::uintptr_t NativeHandle() const;

    /// The effect the window talks to; none until the glue sets it. Not owned.
    IEditorEffect* effect = nullptr;
    /// The user chose another size from the menu (after it is kept in the settings): a
    /// glue that can replace the window with one at that size does so, from inside this
    /// window's handler (Close lets this one end when the handler returns). Without one
    /// the size comes with the next opening.
    std::function<void(TEditorScale)> OnSizeChosen;
    /// Written by the glue and by the window's own handlers; read by the refresh.
    TEditorValues& values;
    /// 1 while the refresh moves controls, so their change events are ignored.
    std::uint8_t updating = 0;
    /// The control last pressed with the right mouse button; the menu commands act on it.
    TCustomDIBControl* menuTarget = nullptr;
    /// The last value text composed after a user change.
    std::string hintText;

    // Components, as the form names them.
    TDIBImageList imgBackground;
    TDIBImageList imgKnobs;
    std::unique_ptr<TDIBImageContainer> cntBackGround;
    TDIBPopupMenu mnuSliders;
    TDIBPopupMenu mnuButtons;
    TDIBPopupMenu mnuMIDI;
    TDIBFadeLabel* lblShadow = nullptr;
    TDIBFadeLabel* lblHint = nullptr;
    TDIBFadeLabel* lblProgram = nullptr;
    TDIBImage* imgCredits = nullptr;
    std::unique_ptr<TDIBTimer> Updater;
    std::unique_ptr<TDIBTimer> tmrAbout;
    std::unique_ptr<TDIBTimer> tmrLabelFade;

    /// The knob or button of a parameter (null for the parameters without one).
    TDIBKnob* KnobOf(std::int32_t parameter) const;
    TDIBGlyphButton* ButtonOf(std::int32_t parameter) const;
    /// A control by its form name ("kbLo", "lblHint"), or null.
    TCustomDIBControl* Control(std::string_view name) const;

    // Handlers, bound as the form says.
    void FormCreate();
    void FormDestroy();
    void UpdaterTimer();
    void par0Change(TDIBComponent& sender);
    void kbInGainMouseDown(TDIBComponent& sender, TMouseButton button, TShiftState shift);
    void kbInGainMouseMove(TDIBComponent& sender);
    void Centre1Click(TDIBComponent& sender);
    void cntBackGroundMouseDown(TMouseButton button, std::int32_t x, std::int32_t y);
    void tmrAboutTimerShow();
    void tmrAboutTimerFade();
    void tmrLabelFadeTimer();
    void AppShowHint(std::string& hintText, TCustomDIBControl& control);

    /// The value text of parameter: display text, a blank and label, trimmed of blanks
    /// and control characters at both ends.
    std::string ValueText(std::int32_t parameter);
    /// The value text under a gesture, led by the control's title: "Input 0.00 dB".
    std::string GestureText(std::int32_t parameter);

  private:
    void LoadImages();
    void CreateComponents();
    void BuildMenus();
    TCustomDIBControl& CreateComponent(const form::TFormComponent& description);
    TDIBPopupMenu* MenuOf(form::TMenuId menu);
    void SetParameter(std::int32_t index, float value);
    /// A value set at once by a click or a menu command: into the editor's values and its
    /// control at once, and to the effect between beginEdit and endEdit, so that hosts in
    /// touch mode record it.
    void SetParameterTouched(std::int32_t index, float value);
    /// beginEdit and endEdit for a gesture on a parameter (a knob drag, a click); each
    /// gesture that began ends once.
    void BeginEdit(std::int32_t index);
    void EndEdit(std::int32_t index);
    /// Ends every running drag and gesture (the window is closing).
    void EndAllEdits();
    void RefreshKnob(std::int32_t parameter);
    /// Shows the program's name while the value labels are empty, and hides it otherwise.
    void RefreshProgramName();
    /// True while a gesture (a drag) runs on any parameter.
    bool Editing() const;
    /// Moves the knob or button of parameter to the editor's value of it, at once.
    void ShowValue(std::int32_t parameter);
    /// Runs a handler from the window system's event loop; a toolkit error is shown in a
    /// message box instead of leaving the handler.
    template <typename THandler> void Guarded(THandler&& handler) noexcept;
    void ShowMessage(std::string_view text);
    /// Runs when the window system's last running call into the window has returned.
    void DestroyIfClosed();

    const TEditorScale FScale;
    // Set by Close: the window owns itself until its running handler returns.
    std::unique_ptr<TEditorWindow> FSelf;
    bool FClosed = false;
    std::vector<std::unique_ptr<TCustomDIBControl>> FControls;
    std::array<TDIBKnob*, ParameterCount> FKnobs{};
    std::array<TDIBGlyphButton*, ParameterCount> FButtons{};
    std::array<bool, ParameterCount> FEditing{}; // between beginEdit and endEdit
};

} // namespace orvo
