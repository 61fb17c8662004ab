// User messages where no window system is at hand.
#pragma once

#include "platform/IMessageBox.h"

namespace orvo
{
/// Writes the message as one line "Orvo: <text>" to the standard error stream, where the
/// host's terminal or log shows it. Chosen over a window of its own: a plug-in without a
/// window system must not block the host waiting for an OK that nobody can press.
class TPosixMessageBox final : public IMessageBox
{
  public:
    void ShowMessage(std::string_view text) const noexcept override;
};
} // namespace orvo
