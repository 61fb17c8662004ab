// IEditorEffect: what the editor window asks of the effect it edits. Each plug-in format's
// glue answers: in process with the effect's own calls, or through the plug-in's ports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvo
{

class IEditorEffect
{
  public:
    virtual ~IEditorEffect() = default;

    /// The user set parameter index to value (normalised, 0..1): the effect takes it and the
    /// host records it as automation.
    virtual void SetParameter(std::int32_t index, float value) = 0;
    /// The ends of a user's gesture on a parameter, for hosts in touch mode.
    virtual void BeginEdit(std::int32_t index) = 0;
    virtual void EndEdit(std::int32_t index) = 0;
    /// The display text and the label of parameter index at its current value; empty for a
    /// parameter without one.
    virtual std::string ParameterDisplay(std::int32_t index) = 0;
    virtual std::string ParameterLabel(std::int32_t index) = 0;
    /// The name of the program in force; empty when the effect cannot tell.
    virtual std::string ProgramName() = 0;

    // The MIDI menu.
    /// The next CC that arrives is bound to parameter.
    virtual void StartMidiLearn(std::int32_t parameter) = 0;
    /// Every CC unbound.
    virtual void ResetMidiMap() = 0;
    /// CC 20..35 drive parameters 0..15 again.
    virtual void RestoreDefaultMidiMap() = 0;
    /// The text of "Show MIDI CC Config"; none when the text comes later (the effect runs
    /// elsewhere and answers by message), in which case its owner shows it when it arrives.
    virtual std::optional<std::string> MidiMapReport() = 0;
};

} // namespace orvo
