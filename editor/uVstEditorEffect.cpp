#include "editor/uVstEditorEffect.h"

#include "plugin/uPlugin.h"

namespace orvo
{

void TVstEditorEffect::SetParameter(std::int32_t index, float value)
{
    FEffect.setParameterAutomated(index, value);
}

void TVstEditorEffect::BeginEdit(std::int32_t index)
{
    FEffect.beginEdit(index);
}

void TVstEditorEffect::EndEdit(std::int32_t index)
{
    FEffect.endEdit(index);
}

void TVstEditorEffect::ParameterDisplay(std::int32_t index, char* text)
{
    FEffect.getParameterDisplay(index, text);
}

void TVstEditorEffect::ParameterLabel(std::int32_t index, char* text)
{
    FEffect.getParameterLabel(index, text);
}

void TVstEditorEffect::StartMidiLearn(std::int32_t parameter)
{
    FEffect.startMidiLearn(parameter);
}

void TVstEditorEffect::ResetMidiMap()
{
    FEffect.resetMidiMap();
}

void TVstEditorEffect::RestoreDefaultMidiMap()
{
    FEffect.restoreDefaultMidiMap();
}

std::optional<std::string> TVstEditorEffect::MidiMapReport()
{
    return FEffect.midiMapReport();
}

} // namespace orvo
