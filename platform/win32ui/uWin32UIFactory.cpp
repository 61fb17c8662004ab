#include "platform/win32ui/uWin32UIFactory.h"

#include "platform/win32ui/TWin32UIPlatform.h"

namespace orvo
{

std::unique_ptr<IUIPlatform> MakeWin32UIPlatform()
{
    return std::make_unique<TWin32UIPlatform>();
}

} // namespace orvo
