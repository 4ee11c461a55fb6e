#include "app/App.h"

#include "module/Globals.h"
#include "app/Settings.h"
#include "puzzle/DraggableCanvas.h"
#include "puzzle/Win1MenuBar.h"
#include "puzzle/Window1.h"
#include "windows/Registration.h"

namespace {

// Menu items are reached by name, one level at a time, as the player sees them.
void EnableItem(const char* menuName, const char* itemName)
{
    auto menu = fw::Deref(Win1MenuBarInstance(), "menu bar").Child(menuName);
    fw::Deref(fw::Deref(menu, menuName).Child(itemName), itemName).SetEnabled(true);
}

fw::ClassDescriptor DescribeAbstract(const std::string& name, const std::string& base)
{
    fw::ClassDescriptor descriptor;
    descriptor.Name = name;
    descriptor.Base = base;
    return descriptor;
}

} // namespace

std::shared_ptr<App> AppInstance()
{
    return fw::RuntimeCheckCast<App>(fw::getAppObject());
}

void AddAppMenuHandlers()
{
    // The handlers hold the application weakly: it owns them.
    std::weak_ptr<App> weak = AppInstance();
    auto handler = [weak](bool (App::*action)()) {
        return [weak, action]() -> bool {
            auto app = weak.lock();
            return app ? ((*app).*action)() : false;
        };
    };
    AppInstance()->AddMenuHandler("CheckforUpdateCheckNow", handler(&App::CheckforUpdateCheckNow_Action));
    AppInstance()->AddMenuHandler("HelpShowHelp", handler(&App::HelpShowHelp_Action));
    AppInstance()->AddMenuHandler("FilePrintHelp", handler(&App::FilePrintHelp_Action));
    AppInstance()->AddMenuHandler("HelpAboutBox", handler(&App::HelpAboutBox_Action));
}

void RegisterProgramClasses()
{
    fw::RegisterClass(fw::DescribeClass<App>("App", "Application"));
    fw::RegisterClass(fw::DescribeClass<Window1>(Window1::FullClassName, "Window"));
    fw::RegisterClass(fw::DescribeClass<Window1Snaps>(Window1Snaps::FullClassName, "DraggableCanvas"));
    fw::RegisterClass(fw::DescribeClass<DraggableCanvas>("DraggableCanvas", "Canvas"));
    fw::RegisterClass(fw::DescribeClass<Win1MenuBar>("Win1MenuBar", "MenuBar"));
    fw::RegisterClass(DescribeAbstract("directiveClass", ""));
    RegisterSecondaryWindowClasses();
}

void App::Event_Open()
{
    LoadSettings();
    Rnd = std::make_shared<fw::Random>();
    IgnoreFirstRetinaAction = true;
    auto window = Window1Instance();
    window->Show();
}

void App::Event_EnableMenuItems()
{
    EnableItem("HelpMenu", "HelpShowHelp");
    EnableItem("HelpMenu", "HelpAboutBox");
    EnableItem("FileMenu", "FilePrintHelp");
}
