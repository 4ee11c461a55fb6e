#include "windows/HelpMenuBar.h"

#include "app/Globals.h"

namespace {

// Sets an item's values in the order every menu of the program uses.
// A separator passes no shortcut at all, which is not the same as an empty one.
std::shared_ptr<fw::MenuItem> MakeItem(const char* name, const char* text, const char* shortcut)
{
    auto item = std::make_shared<fw::MenuItem>();
    item->Constructor();
    item->SetName(name);
    item->SetAutoEnable(true);
    item->SetText(text);
    item->SetVisible(true);
    if (shortcut)
        item->SetKeyboardShortcut(shortcut);
    return item;
}

} // namespace

std::shared_ptr<HelpMenuBar> HelpMenuBarInstance()
{
    if (!SharedHelpMenuBar) {
        auto bar = std::make_shared<HelpMenuBar>();
        bar->Constructor();
        SharedHelpMenuBar = bar;
    }
    return SharedHelpMenuBar;
}

void HelpMenuBar::Constructor()
{
    Untitled0();
    Untitled1();
}

void HelpMenuBar::Untitled0()
{
    Append(MakeItem("FileMenu", "&File", ""));
    fw::Deref(Child("FileMenu"), "FileMenu").Append(MakeItem("FilePrint", "Print Help", "Cmd+P"));
}

void HelpMenuBar::Untitled1()
{
    Append(MakeItem("EditMenu", "&Edit", ""));
    const struct {
        const char* Name;
        const char* Text;
        const char* Shortcut;
    } entries[] = {
        { "EditUndo", "&Undo", "Cmd+Z" },
        { "UntitledMenu1", "-", nullptr },
        { "EditCut", "Cu&t", "Cmd+X" },
        { "EditCopy", "&Copy", "Cmd+C" },
        { "EditPaste", "&Paste", "Cmd+V" },
        { "EditClear", "&Delete", "" },
        { "UntitledMenu0", "-", nullptr },
        { "EditSelectAll", "Select &All", "Cmd+A" },
    };
    for (const auto& entry : entries)
        fw::Deref(Child("EditMenu"), "EditMenu").Append(MakeItem(entry.Name, entry.Text, entry.Shortcut));
}
