#include "tools/render/uEditorShot.h"

#include "editor/uEditor.h"
#include "parameters/uParameterTable.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessServices.h"
#include "tools/render/uPluginSetup.h"
#include "tools/render/uVstHost.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditorFactory.h"

#include <cstdio>
#include <memory>

namespace orvo
{

namespace
{

constexpr VstInt32 OrvoUniqueId = ('O' << 24) | ('r' << 16) | ('v' << 8) | 'o';

VstIntPtr VSTCALL SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// APlugin takes its editor factory as a plain function; the picture's platform is handed
// over through this pointer for the moment of construction (one thread, no nesting).
THeadlessPlatform* PicturePlatform = nullptr;

TEditorParts MakePictureEditor(APlugin& effect)
{
    return MakePluginEditor(effect, PicturePlatform);
}

} // namespace

TRGBAImage RenderEditorPicture(const std::array<float, 16>& values, double scale)
{
    // The effect behind the picture lives only in this process for a moment: it reads no
    // files and writes none (no MIDI map beside anything), and tells nobody anything.
    static const THeadlessServices headless;
    static const TPluginServices services{headless.ModuleFile, headless.Resources,
                                          headless.FileSystem, headless.Locale,
                                          headless.MessageBox};

    THeadlessPlatform platform;
    platform.SetDisplayScale(scale);
    PicturePlatform = &platform;
    std::unique_ptr<APlugin> effect;
    try
    {
        effect = std::make_unique<APlugin>(&SilentHost, services, &MakePictureEditor);
    }
    catch (...)
    {
        PicturePlatform = nullptr;
        throw;
    }
    PicturePlatform = nullptr;
    for (std::size_t i = 0; i < values.size(); ++i)
    {
        effect->setParameter(static_cast<VstInt32>(i), values[i]);
    }
    int hostWindow = 0;
    AEffect* record = effect->getAeffect();
    if (record->dispatcher(record, effEditOpen, 0, 0, &hostWindow, 0.0f) != 1 ||
        platform.LastWindow() == nullptr)
    {
        throw std::runtime_error("the editor could not be opened");
    }
    platform.DeliverPaints();
    TRGBAImage picture;
    picture.Width = static_cast<std::uint32_t>(platform.LastWindow()->Bounds().Width());
    picture.Height = static_cast<std::uint32_t>(platform.LastWindow()->Bounds().Height());
    picture.Pixels = platform.LastWindow()->ScreenRGBA();
    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
    return picture;
}

bool IsOrvo(TVstPlugin& plugin)
{
    return plugin.UniqueId() == OrvoUniqueId && plugin.NumParameters() == ParameterCount;
}

void WriteEditorPicture(TVstPlugin& plugin, const std::filesystem::path& file, double scale)
{
    if (!IsOrvo(plugin))
    {
        throw EUsage("the editor picture shows Orvo's editor; " + plugin.EffectName() +
                     " is another plug-in");
    }
    std::array<float, 16> values{};
    for (std::size_t i = 0; i < values.size(); ++i)
    {
        values[i] = plugin.Parameter(static_cast<std::int32_t>(i));
    }
    WritePNGFile(file, RenderEditorPicture(values, scale));
}

int RunEditorShot(const TOptions& options)
{
    auto plugin = LoadPlugin(options.Plugin);
    ApplySettings(*plugin, options.Program, options.Parameters, options.OverSample);
    WriteEditorPicture(*plugin, options.EditorShot, options.EditorScale);
    if (!options.Quiet)
    {
        std::printf("%s: the editor of %s, program %d \"%s\"\n", options.EditorShot.c_str(),
                    plugin->EffectName().c_str(), plugin->Program(), plugin->ProgramName().c_str());
    }
    return 0;
}

} // namespace orvo
