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

// The bar kept in `slot`, made and laid out the first time it is asked for.
template <class Bar>
std::shared_ptr<Bar> SharedBar(std::shared_ptr<Bar>& slot)
{
    if (!slot) {
        auto bar = std::make_shared<Bar>();
        bar->Constructor();
        slot = bar;
    }
    return slot;
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

// The Edit menu both bars carry: the standard editing commands, whose work the
// focused text control does.
inline void AddEditMenu(fw::MenuBar& bar)
{
    AddMenu(bar, MakeItem("EditMenu", "&Edit", ""));
    AddEntry(bar, "EditMenu", MakeItem("EditUndo", "&Undo", "Cmd+Z"));
    AddEntry(bar, "EditMenu", MakeItem("UntitledMenu1", "-", std::nullopt));
    AddEntry(bar, "EditMenu", MakeItem("EditCut", "Cu&t", "Cmd+X"));
    AddEntry(bar, "EditMenu", MakeItem("EditCopy", "&Copy", "Cmd+C"));
    AddEntry(bar, "EditMenu", MakeItem("EditPaste", "&Paste", "Cmd+V"));
    AddEntry(bar, "EditMenu", MakeItem("EditClear", "&Delete", ""));
    AddEntry(bar, "EditMenu", MakeItem("UntitledMenu0", "-", std::nullopt));
    AddEntry(bar, "EditMenu", MakeItem("EditSelectAll", "Select &All", "Cmd+A"));
}

} // namespace MenuBuilding
