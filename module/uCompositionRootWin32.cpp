// The composition root of Orvo.dll: the effect put together from the Windows services and
// the editor glue, whose windows live on the Win32 window system. The exported entry
// (host/uVstEntry.cpp) calls it.
#include "editor/uEditor.h"
#include "platform/win32/TWin32FileSystem.h"
#include "platform/win32/TWin32Locale.h"
#include "platform/win32/TWin32MessageBox.h"
#include "platform/win32/TWin32ModuleFile.h"
#include "platform/win32/TWin32Resources.h"
#include "platform/win32/TWin32UserFolder.h"
#include "platform/win32ui/uWin32UIFactory.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditorFactory.h"
#include "vst2/uVstEntry.h"

namespace orvo
{
namespace
{
// The services keep no state, so every instance of the process can share one set.
const TPluginServices& PlatformServices()
{
    static const TWin32ModuleFile moduleFile;
    static const TWin32Resources resources;
    static const TWin32FileSystem fileSystem;
    static const TWin32Locale locale;
    static const TWin32MessageBox messageBox;
    static const TWin32UserFolder userFolder;
    static const TPluginServices services{moduleFile, resources,  fileSystem,
                                          locale,     messageBox, userFolder};
    return services;
}
// Each editor makes its own window system at its first open, on the host's
// user-interface thread.
TEditorParts MakeEditor(APlugin& effect)
{
    return MakePluginEditorWithPlatform(effect, &MakeWin32UIPlatform);
}
} // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return new APlugin(audioMaster, PlatformServices(), &MakeEditor);
}
} // namespace orvo
