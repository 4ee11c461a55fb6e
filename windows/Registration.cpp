#include "windows/Registration.h"

#include "platform/Object.h"
#include "windows/AboutBox.h"
#include "windows/Help.h"
#include "windows/HelpMenuBar.h"
#include "windows/selfTest.h"
#include "windows/updateWindow.h"

namespace {

template <class T>
void Register(const std::string& name, const std::string& base)
{
    fw::ClassDescriptor descriptor;
    descriptor.Name = name;
    descriptor.Base = base;
    descriptor.Factory = [] { return std::static_pointer_cast<fw::Object>(std::make_shared<T>()); };
    fw::RegisterClass(std::move(descriptor));
}

} // namespace

void RegisterSecondaryWindowClasses()
{
    Register<Help>(Help::FullClassName, "Window");
    Register<HelpMenuBar>("HelpMenuBar", "MenuBar");
    Register<AboutBox>(AboutBox::FullClassName, "Window");
    Register<selfTest>(selfTest::FullClassName, "Window");
    Register<updateWindow>(updateWindow::FullClassName, "Window");
}
