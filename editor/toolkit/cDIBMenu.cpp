#include "editor/toolkit/cDIBMenu.h"

namespace orvo
{

namespace
{

// Numbers the command items depth-first from 1, in the order they are shown.
void BuildEntries(const TDIBMenuItem& parent, std::vector<TUIMenuEntry>& entries,
                  std::vector<TDIBMenuItem*>& commands)
{
    for (const auto& item : parent.Items())
    {
        TUIMenuEntry entry;
        entry.Caption = item->Caption;
        entry.Enabled = item->Enabled;
        entry.Checked = item->Checked;
        if (!item->Items().empty())
        {
            BuildEntries(*item, entry.Items, commands);
        }
        else if (item->Caption != "-")
        {
            commands.push_back(item.get());
            entry.Command = static_cast<std::int32_t>(commands.size());
        }
        entries.push_back(std::move(entry));
    }
}

} // namespace

TDIBMenuItem& TDIBMenuItem::Add(std::string caption, std::int32_t tag, TNotifyEvent onClick)
{
    FItems.push_back(std::make_unique<TDIBMenuItem>(this));
    TDIBMenuItem& item = *FItems.back();
    item.Caption = std::move(caption);
    item.Tag = tag;
    item.OnClick = std::move(onClick);
    return item;
}

void TDIBPopupMenu::Popup(IUIPlatform& platform, IUIWindow* owner, TPoint screen)
{
    TUIMenu menu;
    std::vector<TDIBMenuItem*> commands;
    BuildEntries(*this, menu.Items, commands);
    platform.ShowPopupMenu(owner, menu, screen,
                           [commands = std::move(commands)](std::int32_t chosen)
                           {
                               if (chosen < 1 ||
                                   chosen > static_cast<std::int32_t>(commands.size()))
                               {
                                   return;
                               }
                               TDIBMenuItem* item = commands[static_cast<std::size_t>(chosen - 1)];
                               if (item->Enabled && item->OnClick)
                               {
                                   const TNotifyEvent onClick = item->OnClick;
                                   onClick(*item);
                               }
                           });
}

} // namespace orvo
