#include "vst2/uPluginEditor.h"

#include "vst2/uPlugin.h"

#include <utility>

namespace orvo
{
APluginEditor::APluginEditor(APlugin* plugin, TEditorWindowFactory windowFactory,
                             TOpeningScaleQuery openingScaleQuery)
    : AEffEditor(plugin), editorEffect(*plugin), typedEffect(plugin),
      makeWindow(std::move(windowFactory)), openingScale(std::move(openingScaleQuery))
{
    for (auto& value : values)
    {
        value.store(0.0f, std::memory_order_relaxed);
    }
}

APluginEditor::~APluginEditor()
{
    if (window)
    {
        closeWindow();
    }
}

bool APluginEditor::getRect(ERect** out)
{
    rect.top = 0;
    rect.left = 0;
    if (window)
    {
        rect.bottom = window->ClientHeight();
        rect.right = window->ClientWidth();
    }
    else if (chosenScale || openingScale)
    {
        const TEditorScale scale = chosenScale ? *chosenScale : openingScale();
        rect.bottom = static_cast<std::int16_t>(Scaled(form::ClientHeight, scale));
        rect.right = static_cast<std::int16_t>(Scaled(form::ClientWidth, scale));
    }
    if (out != nullptr)
    {
        *out = &rect;
    }
    return true;
}

bool APluginEditor::open(void* ptr)
{
    // A window needs a parent; a host that passes none gets no editor.
    if (ptr == nullptr)
    {
        return false;
    }
    if (!window)
    {
        if (!makeWindow)
        {
            return false;
        }
        window = makeWindow(*this, ptr);
        // No window system (no display to open): no editor, and nothing written anywhere.
        if (!window)
        {
            return false;
        }
    }
    parentWindow = ptr;
    ++openCount;
    // The flag opens before the copy, so a change made while the editor was closed is in
    // the copy or copies itself.
    typedEffect->effect().FEditorClosed.store(0, std::memory_order_seq_cst);
    copyValues();
    window->ShowCurrentValues();
    return true;
}

void APluginEditor::close()
{
    openCount = openCount > 0 ? openCount - 1 : 0;
    if (openCount != 0)
    {
        return;
    }
    closeWindow();
}

void APluginEditor::closeWindow()
{
    // The flag goes first: a parameter change after this point copies nothing.
    typedEffect->effect().FEditorClosed.store(1, std::memory_order_release);
    parentWindow = nullptr;
    // The glue forgets the window before it ends: one that lives on until its running
    // handler returns is no longer the glue's, and a reopen makes a new one.
    std::unique_ptr<TEditorWindow> closing = std::move(window);
    if (closing)
    {
        TEditorWindow& closingWindow = *closing;
        closingWindow.Close(std::move(closing));
    }
}

void APluginEditor::changeSize(TEditorScale scale)
{
    if (!window || parentWindow == nullptr || !makeWindow)
    {
        return;
    }
    chosenScale = scale;
    std::unique_ptr<TEditorWindow> next;
    try
    {
        next = makeWindow(*this, parentWindow);
    }
    catch (...)
    {
        // The open window stays as it is.
    }
    if (!next)
    {
        return;
    }
    std::unique_ptr<TEditorWindow> old = std::move(window);
    TEditorWindow& oldWindow = *old;
    oldWindow.Close(std::move(old));
    window = std::move(next);
    copyValues();
    window->ShowCurrentValues();
    typedEffect->sizeWindow(window->ClientWidth(), window->ClientHeight());
}

void APluginEditor::idle()
{
    // The window may end inside (the host closes the editor from an automation call made
    // by a handler): nothing of it is touched afterwards.
    if (window)
    {
        window->Idle();
    }
}

void APluginEditor::parametersChanged() noexcept
{
    if (typedEffect->effect().FEditorClosed.load(std::memory_order_seq_cst) == 0)
    {
        copyValues();
    }
}

void APluginEditor::copyValues() noexcept
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        values[static_cast<std::size_t>(i)].store(typedEffect->getParameter(i),
                                                  std::memory_order_relaxed);
    }
}

TEditorParts MakePluginEditor(APlugin& effect)
{
    auto* glue = new APluginEditor(&effect);
    return {glue, glue};
}
} // namespace orvo
