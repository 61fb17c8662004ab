#include "platform/x11/TX11UIPlatform.h"

namespace orvo
{

std::int32_t TX11UIPlatform::PopupMenu(IUIWindow*, const TUIMenu&, TPoint)
{
    return 0;
}

void TX11UIPlatform::ShowMessage(IUIWindow*, std::string_view, std::string_view)
{
}

} // namespace orvo
