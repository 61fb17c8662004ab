// The CLAP module's composition root on Linux: the POSIX services (the MIDI map file is read
// and written back when learning changed it, beside the module or in the user's
// configuration folder, as the VST 2 module does)
// and, where the module was built with X11, the editor on the X11 window system.
#include "clap/uClapPlatform.h"
#include "platform/posix/TEmbeddedResources.h"
#include "platform/posix/TPosixFileSystem.h"
#include "platform/posix/TPosixLocale.h"
#include "platform/posix/TPosixMessageBox.h"
#include "platform/posix/TPosixModuleFile.h"
#include "platform/posix/TPosixUserFolder.h"
#if ORVO_HAVE_X11
#include "platform/x11/uX11UIFactory.h"
#endif

namespace orvo::clap
{
const TClapPlatform& ClapPlatform()
{
    static const TPosixModuleFile moduleFile;
    static const TEmbeddedResources resources;
    static const TPosixFileSystem fileSystem;
    static const TPosixLocale locale;
    static const TPosixMessageBox messageBox;
    static const TPosixUserFolder userFolder;
    static const TPluginServices services{moduleFile, resources,  fileSystem,
                                          locale,     messageBox, userFolder};
#if ORVO_HAVE_X11
    static const TClapPlatform platform{services, &MakeX11UIPlatform, CLAP_WINDOW_API_X11};
#else
    static const TClapPlatform platform{services, nullptr, CLAP_WINDOW_API_X11};
#endif
    return platform;
}
} // namespace orvo::clap
