#include "vst2/uVstEditorEffect.h"

#include "vst2/uPlugin.h"

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

std::string TVstEditorEffect::ParameterDisplay(std::int32_t index)
{
    return FEffect.effect().ParameterDisplay(index).value_or(std::string());
}

std::string TVstEditorEffect::ParameterLabel(std::int32_t index)
{
    return IsParameterIndex(index) ? std::string(InfoOf(index).Label) : std::string();
}

std::string TVstEditorEffect::ProgramName()
{
    return FEffect.effect().ProgramName(FEffect.effect().Program());
}

void TVstEditorEffect::StartMidiLearn(std::int32_t parameter)
{
    FEffect.effect().StartMidiLearn(parameter);
}

void TVstEditorEffect::ResetMidiMap()
{
    FEffect.effect().ResetMidiMap();
}

void TVstEditorEffect::RestoreDefaultMidiMap()
{
    FEffect.effect().RestoreDefaultMidiMap();
}

std::optional<std::string> TVstEditorEffect::MidiMapReport()
{
    return FEffect.effect().MidiMapReport();
}

} // namespace orvo
