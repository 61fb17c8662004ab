// The VST 2 editor glue with TPluginEditorWindow as its window: kept apart from the window
// itself, so that a binary that shows the window without the effect (the LV2 editor) links
// neither the glue nor the effect.
#include "vst2/uPluginEditorFactory.h"

#include "editor/uEditor.h"
#include "editor/uEditorSettings.h"

#include <memory>
#include <utility>

namespace orvo
{
namespace
{

/// The size a window opens at in parent (0: wherever it will be): VST 2 hosts tell no
/// scale, so the user's choice decides, else the display's.
TEditorScale OpeningScale(IUIPlatform& platform, std::uintptr_t parent)
{
    return ChooseScale(LoadUserScale(platform.UserSettingsFile()), std::nullopt,
                       platform.DisplayScale(parent));
}

std::unique_ptr<TPluginEditorWindow> MakeEditorWindow(IUIPlatform& platform, APluginEditor& glue,
                                                      void* parent)
{
    const auto native = reinterpret_cast<std::uintptr_t>(parent);
    auto window = std::make_unique<TPluginEditorWindow>(
        platform, native, glue.values,
        glue.chosenScale ? *glue.chosenScale : OpeningScale(platform, native));
    window->OnSizeChosen = [&glue](TEditorScale scale) { glue.changeSize(scale); };
    window->MoveToOrigin();
    window->effect = &glue.editorEffect;
    return window;
}

} // namespace

TEditorWindowFactory EditorWindowFactory(IUIPlatform& platform)
{
    return [&platform](APluginEditor& glue, void* parent) -> std::unique_ptr<TEditorWindow>
    { return MakeEditorWindow(platform, glue, parent); };
}

TEditorParts MakePluginEditor(APlugin& effect, IUIPlatform* platform)
{
    if (platform == nullptr)
    {
        auto* glue = new APluginEditor(&effect);
        return {glue, glue};
    }
    auto* glue = new APluginEditor(&effect, EditorWindowFactory(*platform),
                                   [platform] { return OpeningScale(*platform, 0); });
    return {glue, glue};
}

TEditorParts MakePluginEditorWithPlatform(APlugin& effect, TUIPlatformMaker makePlatform)
{
    // The factory lives in the glue and is destroyed after the glue's window, and every
    // window keeps the window system too (one closed from its own modal loop may outlive
    // the glue), so the window system outlives every window and timer made on it.
    // The window system is made on the first need: the first open, or a host asking the
    // size before it (the display's scale decides it), on the user-interface thread either way.
    struct TLazyPlatform
    {
        TUIPlatformMaker Make;
        std::shared_ptr<IUIPlatform> Platform;
        IUIPlatform* Get()
        {
            if (!Platform)
            {
                Platform = Make();
            }
            return Platform.get();
        }
    };
    auto lazy = std::make_shared<TLazyPlatform>(TLazyPlatform{makePlatform, nullptr});
    TEditorWindowFactory factory = [lazy](APluginEditor& glue, void* parent)
    {
        IUIPlatform* platform = lazy->Get();
        if (platform == nullptr)
        {
            return std::unique_ptr<TEditorWindow>();
        }
        auto window = MakeEditorWindow(*platform, glue, parent);
        window->KeepPlatformAlive(lazy->Platform);
        return std::unique_ptr<TEditorWindow>(std::move(window));
    };
    TOpeningScaleQuery openingScale = [lazy]
    {
        IUIPlatform* platform = lazy->Get();
        return platform != nullptr ? OpeningScale(*platform, 0) : es100;
    };
    auto* glue = new APluginEditor(&effect, std::move(factory), std::move(openingScale));
    return {glue, glue};
}

} // namespace orvo
