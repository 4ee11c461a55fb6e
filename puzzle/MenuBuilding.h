#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Exceptions.h"
#include "platform/MenuItem.h"

// Builds menu bars the way both of the game's bars are laid out: each menu and
// entry gets Name, AutoEnable True, Text, Visible True and then its shortcut
// (separators get none), in that order.
namespace MenuBuilding {

template <class T = fw::MenuItem>
std::shared_ptr<T> MakeItem(const std::string& name, const std::string& text, std::optional<std::string> shortcut)
{
    auto item = std::make_shared<T>();
    item->Constructor();
    item->SetName(name);
    item->SetAutoEnable(true);
    item->SetText(text);
    item->SetVisible(true);
    if (shortcut)
        item->SetKeyboardShortcut(*shortcut);
    return item;
}

// Appends a top-level menu to the bar.
inline void AddMenu(fw::MenuBar& bar, const std::shared_ptr<fw::MenuItem>& menu)
{
    bar.Append(menu);
}

// Appends an entry to the bar's menu of that name.
inline void AddEntry(fw::MenuBar& bar, const std::string& menuName, const std::shared_ptr<fw::MenuItem>& entry)
{
    fw::Deref(bar.Child(menuName), "menu").Append(entry);
}

} // namespace MenuBuilding
