// The editor of one CLAP instance: Orvo's window, embedded in the host's window, talking
// to the effect core in process. The user's edits go into the effect at once and to the host
// as parameter events with their gestures (TClapEditQueue), drained by the next process or
// flush, which the editor asks the host for. The window shows the effect's values, copied
// whenever the effect tells of a change; it runs on the host's timer. The object listens to
// the effect for as long as the effect lives (the processing thread may be telling it of a
// change while the host closes the window); only its window comes and goes.
#pragma once

#include "clap/TClapEditQueue.h"
#include "core/uOrvoEffect.h"
#include "editor/IEditorEffect.h"
#include "editor/uEditorWindow.h"
#include "platform/ui/IUIPlatform.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace orvo
{
class TPluginEditorWindow;
}

namespace orvo::clap
{
/// Makes the window system for one editor, or null when there is none (no display).
using TUIPlatformFactory = std::unique_ptr<IUIPlatform> (*)();

class TClapEditor final : public IEditorEffect, private TParameterListener
{
  public:
    /// requestFlush asks the host to drain the edits soon (the host's params request_flush).
    TClapEditor(TOrvoEffect& effect, TClapEditQueue& edits, std::function<void()> requestFlush);
    ~TClapEditor() override;
    TClapEditor(const TClapEditor&) = delete;
    TClapEditor& operator=(const TClapEditor&) = delete;

    /// Builds the window inside parent on platform; false when it cannot be made or one is
    /// open.
    bool Open(std::unique_ptr<IUIPlatform> platform, std::uintptr_t parent);
    /// Ends the window, if one is open.
    void Close();
    bool IsOpen() const noexcept { return FWindow != nullptr; }
    void Show(bool visible);
    /// The window system's pending events, timers and paints.
    void Idle();

    // IEditorEffect
    void SetParameter(std::int32_t index, float value) override;
    void BeginEdit(std::int32_t index) override;
    void EndEdit(std::int32_t index) override;
    std::string ParameterDisplay(std::int32_t index) override;
    std::string ParameterLabel(std::int32_t index) override;
    std::string ProgramName() override;
    void StartMidiLearn(std::int32_t parameter) override;
    void ResetMidiMap() override;
    void RestoreDefaultMidiMap() override;
    std::optional<std::string> MidiMapReport() override;

  private:
    void parametersChanged() noexcept override;
    void CopyValues() noexcept;
    void Send(const TEdit& edit);

    TOrvoEffect& FEffect;
    TClapEditQueue& FEdits;
    std::function<void()> FRequestFlush;
    TEditorValues FValues;
    std::unique_ptr<TEditorWindow> FWindow;
    TPluginEditorWindow* FForm = nullptr; // FWindow as the form it is
};
} // namespace orvo::clap
