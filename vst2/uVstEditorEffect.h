// TVstEditorEffect: the editor window's effect in the VST 2 module, the APlugin itself:
// automation through the host callback, display texts and the MIDI map from the effect.
#pragma once

#include "editor/IEditorEffect.h"

namespace orvo
{
class APlugin;

class TVstEditorEffect final : public IEditorEffect
{
  public:
    explicit TVstEditorEffect(APlugin& effect) : FEffect(effect) {}

    /// setParameterAutomated.
    void SetParameter(std::int32_t index, float value) override;
    void BeginEdit(std::int32_t index) override;
    void EndEdit(std::int32_t index) override;
    std::string ParameterDisplay(std::int32_t index) override;
    std::string ParameterLabel(std::int32_t index) override;
    std::string ProgramName() override;
    void StartMidiLearn(std::int32_t parameter) override;
    void ResetMidiMap() override;
    void RestoreDefaultMidiMap() override;
    /// Always the text: the map is in this process.
    std::optional<std::string> MidiMapReport() override;

  private:
    APlugin& FEffect;
};

} // namespace orvo
