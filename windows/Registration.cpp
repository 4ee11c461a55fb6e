#include "windows/Registration.h"

#include "platform/Object.h"
#include "windows/AboutBox.h"
#include "windows/Help.h"
#include "windows/HelpMenuBar.h"
#include "windows/selfTest.h"
#include "windows/updateWindow.h"

void RegisterSecondaryWindowClasses()
{
    fw::RegisterClass(fw::DescribeClass<Help>(Help::FullClassName, "Window"));
    fw::RegisterClass(fw::DescribeClass<HelpMenuBar>("HelpMenuBar", "MenuBar"));
    fw::RegisterClass(fw::DescribeClass<AboutBox>(AboutBox::FullClassName, "Window"));
    fw::RegisterClass(fw::DescribeClass<selfTest>(selfTest::FullClassName, "Window"));
    fw::RegisterClass(fw::DescribeClass<updateWindow>(updateWindow::FullClassName, "Window"));
}
