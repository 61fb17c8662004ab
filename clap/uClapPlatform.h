// What the CLAP module's composition root gives every instance: the platform's services, and
// the editor's window system with the CLAP window API it embeds in. One implementation per
// operating system (uClapPlatformPosix.cpp, uClapPlatformWin32.cpp), chosen by CMake.
#pragma once

#include "clap/TClapEditor.h"
#include "clap/abi/DClapExtensions.h"
#include "core/uPluginServices.h"

namespace orvo::clap
{
struct TClapPlatform
{
    const TPluginServices& Services;
    /// Makes the editor's window system; null: the module has no editor.
    TUIPlatformFactory MakeEditorPlatform;
    /// The CLAP window API of the host windows the editor embeds in (CLAP_WINDOW_API_X11,
    /// CLAP_WINDOW_API_WIN32).
    const char* EditorApi;
};

/// The one set for the process: the services keep no state, so every instance shares them.
const TClapPlatform& ClapPlatform();
} // namespace orvo::clap
