// A pop-up menu as the window system shows it: items with captions and command numbers,
// separators and submenus. The caller numbers the commands; 0 means "no command".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvo
{

struct TUIMenuEntry
{
    std::string Caption;      // "-" is a separator
    std::int32_t Command = 0; // returned when chosen; 0 for separators and submenus
    bool Enabled = true;
    bool Checked = false;
    std::vector<TUIMenuEntry> Items; // non-empty: a submenu
};

struct TUIMenu
{
    std::vector<TUIMenuEntry> Items;
};

} // namespace orvo
