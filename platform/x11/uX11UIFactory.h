// The one entry of the X11 window system for the module's composition root, which needs no
// X11 header for it.
#pragma once

#include "platform/ui/IUIPlatform.h"

#include <memory>

namespace orvo
{

/// A window system for one editor on a display connection of its own (DISPLAY), made on the
/// host's user-interface thread; null when no display can be opened.
std::unique_ptr<IUIPlatform> MakeX11UIPlatform();

} // namespace orvo
