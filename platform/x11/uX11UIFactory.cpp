#include "platform/x11/uX11UIFactory.h"

#include "platform/x11/TX11UIPlatform.h"

namespace orvo
{

std::unique_ptr<IUIPlatform> MakeX11UIPlatform()
{
    return TX11UIPlatform::Open();
}

} // namespace orvo
