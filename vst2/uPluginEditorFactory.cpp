// The VST 2 editor glue with TPluginEditorWindow as its window: kept apart from the window
// itself, so that a binary that shows the window without the effect (the LV2 editor) links
// neither the glue nor the effect.
#include "vst2/uPluginEditorFactory.h"

#include "editor/uEditor.h"

#include <memory>
#include <utility>

namespace orvo
{
namespace
{

std::unique_ptr<TPluginEditorWindow> MakeEditorWindow(IUIPlatform& platform, APluginEditor& glue,
                                                      void* parent)
{
    // VST 2 hosts do not tell a scale: the display's decides.
    const auto native = reinterpret_cast<std::uintptr_t>(parent);
    auto window = std::make_unique<TPluginEditorWindow>(
        platform, native, glue.values,
        ChooseScale(std::nullopt, std::nullopt, platform.DisplayScale(native)));
    window->MoveToOrigin();
    window->effect = &glue.editorEffect;
    return window;
}

} // namespace

TEditorWindowFactory EditorWindowFactory(IUIPlatform& platform)
{
    return [&platform](APluginEditor& glue, void* parent) -> std::unique_ptr<TEditorWindow> {
        return MakeEditorWindow(platform, glue, parent);
    };
}

TEditorParts MakePluginEditor(APlugin& effect, IUIPlatform* platform)
{
    auto* glue = new APluginEditor(&effect, platform != nullptr ? EditorWindowFactory(*platform)
                                                                : TEditorWindowFactory{});
    return {glue, glue};
}

TEditorParts MakePluginEditorWithPlatform(APlugin& effect, TUIPlatformMaker makePlatform)
{
    // The factory lives in the glue and is destroyed after the glue's window, and every
    // window keeps the window system too (one closed from its own modal loop may outlive
    // the glue), so the window system outlives every window and timer made on it.
    std::shared_ptr<IUIPlatform> platform;
    TEditorWindowFactory factory = [makePlatform, platform](APluginEditor& glue,
                                                            void* parent) mutable {
        if (!platform)
        {
            platform = makePlatform();
            if (!platform)
            {
                return std::unique_ptr<TEditorWindow>();
            }
        }
        auto window = MakeEditorWindow(*platform, glue, parent);
        window->KeepPlatformAlive(platform);
        return std::unique_ptr<TEditorWindow>(std::move(window));
    };
    auto* glue = new APluginEditor(&effect, std::move(factory));
    return {glue, glue};
}

} // namespace orvo
