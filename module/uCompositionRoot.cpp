// The composition root: the one place that puts an effect together from the platform's
// services and the editor glue. The exported entry (host/uVstEntry.cpp) calls it. There is
// no window-system backend for the editor here yet: the glue reports the editor's size and
// effEditOpen answers 0 without creating anything.
#include "editor/uPluginEditor.h"
#include "host/uVstEntry.h"
#include "plugin/uPlugin.h"
#include "platform/posix/TEmbeddedResources.h"
#include "platform/posix/TPosixFileSystem.h"
#include "platform/posix/TPosixLocale.h"
#include "platform/posix/TPosixMessageBox.h"
#include "platform/posix/TPosixModuleFile.h"

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
    static const TPluginServices services{moduleFile, resources, fileSystem, locale, messageBox};
    return services;
}
} // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return new APlugin(audioMaster, PlatformServices(), &MakePluginEditor);
}
} // namespace orvo
