// User messages on Windows.
#pragma once

#include "platform/IMessageBox.h"

namespace orvo
{
/// A modal message box titled "Orvo" with the text, no icon and one OK button. It has no
/// owner window (the effect knows none when it reports), so it is task-modal: the host's
/// windows wait until OK is pressed.
class TWin32MessageBox final : public IMessageBox
{
  public:
    void ShowMessage(std::string_view text) const noexcept override;
};
} // namespace orvo
