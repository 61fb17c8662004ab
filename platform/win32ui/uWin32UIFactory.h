// The one entry of the Win32 window system for the module's composition root, which needs
// no Windows header for it.
#pragma once

#include "platform/ui/IUIPlatform.h"

#include <memory>

namespace orvo
{

/// A window system for one editor, made on the user-interface thread (the thread that
/// calls effEditOpen). It must outlive the windows and timers it makes.
std::unique_ptr<IUIPlatform> MakeWin32UIPlatform();

} // namespace orvo
