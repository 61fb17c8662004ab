// APluginEditor: the editor object the framework knows. Owns the editor window while the
// host shows it, reports its size, and hands the effect's parameter values to it.
#pragma once

#include "editor/uEditorForm.h"
#include "editor/uEditorScale.h"
#include "editor/uEditorWindow.h"
#include "vst2/AEffEditor.h"
#include "vst2/uPlugin.h"
#include "vst2/uVstEditorEffect.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace orvo
{
class APlugin;
class APluginEditor;

/// Makes the window for glue as a child of parent (the host's window handle), placed at
/// 0, 0 and talking to the glue's effect. May throw when the window cannot be created.
using TEditorWindowFactory =
    std::function<std::unique_ptr<TEditorWindow>(APluginEditor& glue, void* parent)>;

/// The size the next window would open at; asked while no window exists.
using TOpeningScaleQuery = std::function<TEditorScale()>;

class APluginEditor final : public AEffEditor, public TParameterListener
{
  public:
    /// The editor form's size at 100 %: hosts size their frame from effEditGetRect before
    /// they open the editor, which answers it at the display's scale.
    static constexpr auto FormWidth = static_cast<std::int16_t>(form::ClientWidth);
    static constexpr auto FormHeight = static_cast<std::int16_t>(form::ClientHeight);

    /// windowFactory empty: the editor can report its size but opens no window.
    /// openingScale empty: the size without a window is the form's at 100 %.
    explicit APluginEditor(APlugin* plugin, TEditorWindowFactory windowFactory = {},
                           TOpeningScaleQuery openingScale = {});
    ~APluginEditor() override;

    /// Stores &rect in *rect: 0, 0 and the window's client size, or without a window the
    /// size the next window opens at. Always true.
    bool getRect(ERect** rect) override;
    /// Creates the window on the first open (or when none exists), then shows the current
    /// values. False, with nothing changed, for a null parent or when no window can be
    /// made; a failing window factory's exception leaves the state as it was.
    bool open(void* ptr) override;
    /// Destroys the window when the last open is matched (or lets it go at the end of its
    /// running handler, when the host closes from one of its modal loops).
    void close() override;
    /// Lets the window system run its pending events, timers and paints: on X11 the host's
    /// idle calls are the editor's event loop. The window refreshes on its own timer.
    void idle() override;
    /// The user chose a size while the editor is open: a new window at that size takes the
    /// open one's place in the host's window (which ends once its running handler returns),
    /// and the host is asked for the new size (audioMasterSizeWindow). Later windows of this
    /// editor open at that size too. Nothing changes when no new window can be made.
    void changeSize(TEditorScale scale);

    /// The size chosen while open, which later windows open at; none before a choice.
    std::optional<TEditorScale> chosenScale;

    /// Copies the effect's 16 current values into values while the editor is not closed.
    /// Any thread; copies into the glue's own array, so a window being destroyed on the
    /// user-interface thread is never touched.
    void parametersChanged() noexcept override;

    APlugin* plugin() const noexcept { return typedEffect; }
    bool hasWindow() const noexcept { return window != nullptr; }
    /// The open window, or null.
    TEditorWindow* editorWindow() const noexcept { return window.get(); }

    /// What the window asks of the effect: the effect's own calls.
    TVstEditorEffect editorEffect;
    /// The values the window shows, by parameter index; the window reads them on its timer.
    TEditorValues values;
    /// The rectangle getRect hands out: 0, 0, height, width.
    ERect rect{0, 0, FormHeight, FormWidth};
    /// open calls not yet matched by close.
    std::int32_t openCount = 0;

  private:
    void copyValues() noexcept;
    /// Sets FEditorClosed and lets go of the window: window none, parentWindow 0.
    void closeWindow();

    APlugin* typedEffect;
    // Declared before window: a window system that the factory holds outlives the window.
    TEditorWindowFactory makeWindow;
    TOpeningScaleQuery openingScale;
    std::unique_ptr<TEditorWindow> window;
    void* parentWindow = nullptr;
};

/// The editor factory for APlugin's constructor where the module has no window system: a
/// glue object that reports the editor's size and opens no window.
TEditorParts MakePluginEditor(APlugin& effect);
} // namespace orvo
