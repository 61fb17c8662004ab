// The composition root: the one place that puts an effect together from the platform's
// services and the editor glue. The exported entry (host/uVstEntry.cpp) calls it. The
// editor's windows live on the X11 window system, made at the editor's first open on the
// host's user-interface thread; when no display can be opened there, effEditOpen answers 0
// and the next open tries again. A build without X11 reports the editor's size and opens
// nothing.
#include "editor/uEditor.h"
#include "platform/posix/TEmbeddedResources.h"
#include "platform/posix/TPosixFileSystem.h"
#include "platform/posix/TPosixLocale.h"
#include "platform/posix/TPosixMessageBox.h"
#include "platform/posix/TPosixModuleFile.h"
#include "platform/posix/TPosixUserFolder.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditor.h"
#include "vst2/uPluginEditorFactory.h"
#include "vst2/uVstEntry.h"
#if ORVO_HAVE_X11
#include "platform/x11/uX11UIFactory.h"
#endif

namespace orvo
{
namespace
{
// The services keep no state, so every instance of the process can share one set.
const TPluginServices& PlatformServices()
{
    static const TPosixModuleFile moduleFile;
    static const TEmbeddedResources resources;
    static const TPosixFileSystem fileSystem;
    static const TPosixLocale locale;
    static const TPosixMessageBox messageBox;
    static const TPosixUserFolder userFolder;
    static const TPluginServices services{moduleFile, resources,  fileSystem,
                                          locale,     messageBox, userFolder};
    return services;
}

TEditorParts MakeEditor(APlugin& effect)
{
#if ORVO_HAVE_X11
    return MakePluginEditorWithPlatform(effect, &MakeX11UIPlatform);
#else
    return MakePluginEditor(effect);
#endif
}
} // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return new APlugin(audioMaster, PlatformServices(), &MakeEditor);
}
} // namespace orvo
