#pragma once
// The menus of each document template and the tool bar, as data over the command table.

#include <span>
#include <vector>

namespace almx {

// An item: a command id, 0 for a separator, kRecentFiles for the recent-file entries, or a
// submenu (title and items).
struct MenuItem {
    int id = 0;
    const char* submenu = nullptr;
    std::vector<MenuItem> items;
    // The item's text where it differs from the command's (one id, another view's meaning).
    const char* text = nullptr;
};

struct MenuSpec {
    const char* title;
    std::vector<MenuItem> items;
};

inline constexpr int kRecentFiles = -1;
inline constexpr int kWindowList = -2;

// The menu resource shown while no document or a view of the given kind is active.
enum class MenuSet { NoDocument, Month, Week, Todo, Diary, Memo, SearchList };

const std::vector<MenuSpec>& MenuLayout(MenuSet set);

// The tool bar buttons in order; 0 is a separator.
std::span<const int> ToolBarLayout();

// Every command id a menu set shows (submenus included), in menu order.
std::vector<int> MenuCommandIds(MenuSet set);

}  // namespace almx
