// The CLAP module's composition root on Windows: the Windows services (the factory bank is
// the module's resource, the MIDI map file lies beside the module or in the user's folder) and the
// editor on the Win32 window system, embedded in the host's window.
#include "clap/uClapPlatform.h"
#include "platform/win32/TWin32FileSystem.h"
#include "platform/win32/TWin32Locale.h"
#include "platform/win32/TWin32MessageBox.h"
#include "platform/win32/TWin32ModuleFile.h"
#include "platform/win32/TWin32Resources.h"
#include "platform/win32/TWin32UserFolder.h"
#include "platform/win32ui/uWin32UIFactory.h"

namespace orvo::clap
{
const TClapPlatform& ClapPlatform()
{
    static const TWin32ModuleFile moduleFile;
    static const TWin32Resources resources;
    static const TWin32FileSystem fileSystem;
    static const TWin32Locale locale;
    static const TWin32MessageBox messageBox;
    static const TWin32UserFolder userFolder;
    static const TPluginServices services{moduleFile, resources,  fileSystem,
                                          locale,     messageBox, userFolder};
    static const TClapPlatform platform{services, &MakeWin32UIPlatform, CLAP_WINDOW_API_WIN32};
    return platform;
}
} // namespace orvo::clap
