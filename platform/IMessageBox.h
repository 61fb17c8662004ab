// A message to the user with one OK button.
#pragma once

#include <string_view>

namespace orvo
{
class IMessageBox
{
  public:
    virtual ~IMessageBox() = default;

    /// Shows text to the user, modally where a window system allows it. Never throws.
    virtual void ShowMessage(std::string_view text) const noexcept = 0;
};
} // namespace orvo
