#include "clap/TClapEditor.h"

#include "clap/uClapParameters.h"
#include "editor/uEditor.h"
#include "parameters/uParameterMapping.h"

namespace orvo::clap
{
TClapEditor::TClapEditor(TOrvoEffect& effect, TClapEditQueue& edits,
                         std::function<void()> requestFlush)
    : FEffect(effect), FEdits(edits), FRequestFlush(std::move(requestFlush))
{
    CopyValues();
    FEffect.SetParameterListener(this);
}

TClapEditor::~TClapEditor()
{
    Close();
    FEffect.SetParameterListener(nullptr);
}

void TClapEditor::Close()
{
    // The flag goes first: a change after this point copies nothing.
    FEffect.FEditorClosed.store(1, std::memory_order_release);
    // A window whose handler still runs (the host destroyed the editor from a modal loop of
    // it) lives on, inert, until that handler returns; it no longer calls this object.
    if (FWindow)
    {
        FForm = nullptr;
        TEditorWindow& window = *FWindow;
        window.Close(std::move(FWindow));
    }
}

bool TClapEditor::Open(std::unique_ptr<IUIPlatform> platform, std::uintptr_t parent)
{
    if (!platform || FWindow)
    {
        return false;
    }
    try
    {
        auto form = std::make_unique<TPluginEditorWindow>(*platform, parent, FValues);
        form->KeepPlatformAlive(std::shared_ptr<IUIPlatform>(std::move(platform)));
        form->MoveToOrigin();
        form->effect = this;
        FForm = form.get();
        FWindow = std::move(form);
    }
    catch (...)
    {
        return false;
    }
    // The flag opens before the copy, so a change made meanwhile is in the copy or copies
    // itself.
    FEffect.FEditorClosed.store(0, std::memory_order_seq_cst);
    CopyValues();
    FWindow->ShowCurrentValues();
    return true;
}

void TClapEditor::Show(bool /*visible*/)
{
    // The window is a child of the host's window, which shows and hides it with itself.
}

void TClapEditor::Idle()
{
    if (FWindow && FForm != nullptr && !FForm->Closed())
    {
        FWindow->Idle();
    }
}

void TClapEditor::parametersChanged() noexcept
{
    if (FEffect.FEditorClosed.load(std::memory_order_seq_cst) == 0)
    {
        CopyValues();
    }
}

void TClapEditor::CopyValues() noexcept
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        FValues[static_cast<std::size_t>(i)].store(FEffect.Parameter(i), std::memory_order_relaxed);
    }
}

void TClapEditor::Send(const TEdit& edit)
{
    FEdits.Push(edit);
    FRequestFlush();
}

void TClapEditor::SetParameter(std::int32_t index, float value)
{
    if (!ParameterOfId(static_cast<clap_id>(index)))
    {
        return;
    }
    FEffect.SetParameter(index, value);
    Send({ekValue, static_cast<clap_id>(index), ClapValue(index, FEffect.Parameter(index))});
}

void TClapEditor::BeginEdit(std::int32_t index)
{
    if (ParameterOfId(static_cast<clap_id>(index)))
    {
        Send({ekBegin, static_cast<clap_id>(index), 0.0});
    }
}

void TClapEditor::EndEdit(std::int32_t index)
{
    if (ParameterOfId(static_cast<clap_id>(index)))
    {
        Send({ekEnd, static_cast<clap_id>(index), 0.0});
    }
}

std::string TClapEditor::ParameterDisplay(std::int32_t index)
{
    return FEffect.ParameterDisplay(index).value_or(std::string());
}

std::string TClapEditor::ParameterLabel(std::int32_t index)
{
    return IsParameterIndex(index) ? std::string(InfoOf(index).Label) : std::string();
}

void TClapEditor::StartMidiLearn(std::int32_t parameter)
{
    FEffect.StartMidiLearn(parameter);
}

void TClapEditor::ResetMidiMap()
{
    FEffect.ResetMidiMap();
}

void TClapEditor::RestoreDefaultMidiMap()
{
    FEffect.RestoreDefaultMidiMap();
}

std::string TClapEditor::ProgramName()
{
    return FEffect.ProgramName(FEffect.Program());
}

std::optional<std::string> TClapEditor::MidiMapReport()
{
    return FEffect.MidiMapReport();
}
} // namespace orvo::clap
