#include "puzzle/Win1MenuBar.h"

#include "module/Globals.h"
#include "module/MenuBuilding.h"

using MenuBuilding::AddEntry;
using MenuBuilding::AddMenu;
using MenuBuilding::MakeItem;

std::shared_ptr<Win1MenuBar> Win1MenuBarInstance()
{
    return MenuBuilding::SharedBar(MainMenuBar);
}

void Win1MenuBar::Constructor()
{
    Untitled0();
    Untitled1();
    Untitled2();
    Untitled3();
}

void Win1MenuBar::Untitled0()
{
    AddMenu(*this, MakeItem("FileMenu", "&File", ""));
    AddEntry(*this, "FileMenu", MakeItem("FilePrintHelp", "Print Help", "Cmd+P"));
    AddEntry(*this, "FileMenu", MakeItem("UntitledSeparator", "-", std::nullopt));
    AddEntry(*this, "FileMenu", MakeItem<fw::QuitMenuItem>("FileQuit", "&Quit", "Cmd+Q"));
}

void Win1MenuBar::Untitled1()
{
    MenuBuilding::AddEditMenu(*this);
}

void Win1MenuBar::Untitled2()
{
    AddMenu(*this, MakeItem<fw::MenuBar>("CheckforUpdateMenu", "Check for Update", ""));
    AddEntry(*this, "CheckforUpdateMenu", MakeItem("CheckforUpdateCheckNow", "Check Now", ""));
}

void Win1MenuBar::Untitled3()
{
    AddMenu(*this, MakeItem("HelpMenu", "Help ", ""));
    AddEntry(*this, "HelpMenu", MakeItem("HelpShowHelp", "Show Help", ""));
    AddEntry(*this, "HelpMenu", MakeItem<fw::AppleMenuItem>("HelpAboutBox", "About...", ""));
}
