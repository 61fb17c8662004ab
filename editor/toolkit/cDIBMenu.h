// Pop-up menus of controls: items with a caption, a Tag and a click event, separators
// ("-") and submenus. The window system shows them; the chosen item's OnClick runs with
// the item as sender.
#pragma once

#include "editor/toolkit/cDIBComponent.h"
#include "platform/ui/IUIPlatform.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvo
{

class TDIBMenuItem : public TDIBComponent
{
  public:
    explicit TDIBMenuItem(TDIBComponent* owner) : TDIBComponent(owner) {}

    /// Appends a command item (or a separator with caption "-") and returns it.
    TDIBMenuItem& Add(std::string caption, std::int32_t tag = 0, TNotifyEvent onClick = {});
    std::vector<std::unique_ptr<TDIBMenuItem>>& Items() { return FItems; }
    const std::vector<std::unique_ptr<TDIBMenuItem>>& Items() const { return FItems; }

    std::string Caption;
    bool Enabled = true;
    bool Checked = false;
    TNotifyEvent OnClick;

  private:
    std::vector<std::unique_ptr<TDIBMenuItem>> FItems;
};

class TDIBPopupMenu : public TDIBMenuItem
{
  public:
    explicit TDIBPopupMenu(TDIBComponent* owner = nullptr) : TDIBMenuItem(owner) {}

    /// Shows the menu at a screen position; the chosen item's OnClick runs when the user
    /// chooses it, which may be after this returns (IUIPlatform::ShowPopupMenu). The items
    /// must stay until then, or until owner is destroyed.
    void Popup(IUIPlatform& platform, IUIWindow* owner, TPoint screen);
};

} // namespace orvo
