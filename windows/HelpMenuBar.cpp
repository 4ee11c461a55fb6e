#include "windows/HelpMenuBar.h"

#include "module/Globals.h"
#include "module/MenuBuilding.h"

std::shared_ptr<HelpMenuBar> HelpMenuBarInstance()
{
    return MenuBuilding::SharedBar(SharedHelpMenuBar);
}

void HelpMenuBar::Constructor()
{
    Untitled0();
    Untitled1();
}

void HelpMenuBar::Untitled0()
{
    MenuBuilding::AddMenu(*this, MenuBuilding::MakeItem("FileMenu", "&File", ""));
    MenuBuilding::AddEntry(*this, "FileMenu", MenuBuilding::MakeItem("FilePrint", "Print Help", "Cmd+P"));
}

void HelpMenuBar::Untitled1()
{
    MenuBuilding::AddEditMenu(*this);
}
