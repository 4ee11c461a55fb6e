#include "platform/MenuItem.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

#include "platform/Application.h"
#include "platform/Window.h"
#include "platform/qt/EditCommands.h"
#include "platform/qt/MenuBarView.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

MenuItem::MenuItem() = default;
MenuItem::~MenuItem() = default;

void MenuItem::Changed()
{
    // A view watches the bar only, so a change anywhere below must show in
    // every ancestor's count too.
    for (MenuItem* item = this; item;) {
        ++item->m_revision;
        auto parent = item->m_parent.lock();
        item = parent.get();
    }
}

uint64_t MenuItem::Revision() const
{
    return m_revision;
}

void MenuItem::Append(const std::shared_ptr<MenuItem>& item)
{
    if (!item)
        throw NilObjectException("nil menu item appended to " + m_name);
    // A menu holding itself, directly or through its own items, would make
    // every lookup and every view loop forever.
    for (const MenuItem* ancestor = this; ancestor;) {
        if (ancestor == item.get())
            throw RuntimeException("RuntimeException", "menu item " + item->Name() + " cannot contain itself");
        auto parent = ancestor->m_parent.lock();
        ancestor = parent.get();
    }
    // An item lives in one menu at a time, as in any menu system.
    if (auto oldParent = item->m_parent.lock()) {
        auto& siblings = oldParent->m_children;
        std::erase(siblings, item);
        oldParent->Changed();
    }
    item->m_parent = std::static_pointer_cast<MenuItem>(weak_from_this().lock());
    m_children.push_back(item);
    Changed();
}

std::shared_ptr<MenuItem> MenuItem::Child(const std::string& name) const
{
    for (const auto& child : m_children) {
        if (child->Name() == name)
            return child;
    }
    return nullptr;
}

std::shared_ptr<MenuItem> MenuItem::Lookup(const std::string& name)
{
    if (m_name == name)
        return std::static_pointer_cast<MenuItem>(shared_from_this());
    for (const auto& child : m_children) {
        if (auto found = child->Lookup(name))
            return found;
    }
    return nullptr;
}

bool IsStandardEditCommand(const std::string& name)
{
    return EditCommands::IsEditCommand(name);
}

namespace {

template <class T>
ClassDescriptor MenuDescriptor(const std::string& name, const std::string& base)
{
    auto text = [](void (MenuItem::*setter)(const std::string&)) {
        return PropertySetter { PropertyType::Text, [setter](Object& object, const PropertyValue& value) {
                                   (static_cast<MenuItem&>(object).*setter)(std::get<std::string>(value));
                               } };
    };
    auto flag = [](void (MenuItem::*setter)(bool)) {
        return PropertySetter { PropertyType::Boolean, [setter](Object& object, const PropertyValue& value) {
                                   (static_cast<MenuItem&>(object).*setter)(std::get<bool>(value));
                               } };
    };
    ClassDescriptor descriptor;
    descriptor.Name = name;
    descriptor.Base = base;
    descriptor.Factory = [] { return std::make_shared<T>(); };
    if (base.empty()) {
        descriptor.Properties = {
            { "Name", text(&MenuItem::SetName) },
            { "Text", text(&MenuItem::SetText) },
            { "KeyboardShortcut", text(&MenuItem::SetKeyboardShortcut) },
            { "AutoEnable", flag(&MenuItem::SetAutoEnable) },
            { "Enabled", flag(&MenuItem::SetEnabled) },
            { "Visible", flag(&MenuItem::SetVisible) },
        };
    }
    return descriptor;
}

std::shared_ptr<MenuItem> RootOf(const std::shared_ptr<MenuItem>& item)
{
    auto root = item;
    while (auto parent = root->Parent())
        root = parent;
    return root;
}

// The text control that has the keyboard focus in `front`, else in whichever
// window is active.
QWidget* FocusedTextControl(const std::shared_ptr<Window>& front)
{
    QWidget* focus = nullptr;
    if (front) {
        if (QMainWindow* top = front->Impl().TopLevel())
            focus = top->focusWidget();
    }
    if (!focus)
        focus = QApplication::focusWidget();
    return EditCommands::TextControlOf(focus);
}

bool HasHandler(const std::string& name, const std::shared_ptr<Window>& front, const std::shared_ptr<Application>& app)
{
    return (front && front->FindMenuHandler(name)) || (app && app->FindMenuHandler(name));
}

void AutoEnableItem(MenuItem& item, bool topLevel, const std::shared_ptr<Window>& front,
    const std::shared_ptr<Application>& app, QWidget* textControl)
{
    if (dynamic_cast<QuitMenuItem*>(&item)) {
        item.SetEnabled(true);
    } else if (item.AutoEnable()) {
        if (topLevel || !item.Children().empty()) {
            item.SetEnabled(true);
        } else if (item.Text() != "-") {
            const std::string& name = item.Name();
            item.SetEnabled(HasHandler(name, front, app)
                || (EditCommands::IsEditCommand(name) && EditCommands::CanPerform(name, textControl)));
        }
    }
    for (const auto& child : item.Children())
        AutoEnableItem(*child, false, front, app, textControl);
}

void ApplyAutoEnable(const std::shared_ptr<MenuItem>& root, const std::shared_ptr<Window>& front,
    const std::shared_ptr<Application>& app, QWidget* textControl)
{
    if (!root)
        return;
    // The bar's own children are the menus, which stay enabled so the player
    // can always look into them.
    for (const auto& menu : root->Children())
        AutoEnableItem(*menu, true, front, app, textControl);
}

std::shared_ptr<Window> FrontWindow()
{
    auto windows = OpenWindows();
    return windows.empty() ? nullptr : windows.front();
}

bool RunHandler(const std::string& name, const MenuHandler* found)
{
    if (!found)
        return false;
    // A copy: the handler may install or replace handlers while it runs.
    MenuHandler handler = *found;
    bool handled = false;
    DispatchEvent(name.c_str(), [&] { handled = handler && handler(); });
    return handled;
}

} // namespace

void RegisterMenuClasses()
{
    RegisterClass(MenuDescriptor<MenuItem>("MenuItem", ""));
    RegisterClass(MenuDescriptor<MenuBar>("MenuBar", "MenuItem"));
    RegisterClass(MenuDescriptor<AppleMenuItem>("AppleMenuItem", "MenuItem"));
    RegisterClass(MenuDescriptor<QuitMenuItem>("QuitMenuItem", "MenuItem"));
}

void RunMenuEnablingFor(const std::shared_ptr<Window>& front, const std::shared_ptr<MenuItem>& alsoRoot)
{
    auto app = getAppObject();
    QWidget* textControl = FocusedTextControl(front);
    std::shared_ptr<MenuItem> bar = front ? std::static_pointer_cast<MenuItem>(front->GetMenuBar()) : nullptr;
    ApplyAutoEnable(bar, front, app, textControl);
    if (alsoRoot && alsoRoot != bar)
        ApplyAutoEnable(alsoRoot, front, app, textControl);
    if (app)
        DispatchEvent("App.EnableMenuItems", [&] { app->Event_EnableMenuItems(); });
    // The window raises its event through the dispatcher itself.
    if (front && front->IsOpen())
        front->RaiseEnableMenuItems();
}

bool ChooseMenuItemFor(const std::shared_ptr<MenuItem>& item, const std::shared_ptr<Window>& front)
{
    if (!item)
        return false;
    RunMenuEnablingFor(front, RootOf(item));
    if (!item->Enabled() || !item->Visible())
        return false;
    if (dynamic_cast<QuitMenuItem*>(item.get())) {
        QuitApplication();
        return true;
    }
    const std::string name = item->Name();
    bool handled = false;
    // The focused text control does the standard editing itself; the menu
    // handlers of the same name still run, so a window can keep its item
    // enabled or add to the command.
    if (EditCommands::IsEditCommand(name))
        handled = EditCommands::Perform(name, FocusedTextControl(front));
    if (front && RunHandler(name, front->FindMenuHandler(name)))
        return true;
    auto app = getAppObject();
    if (app && RunHandler(name, app->FindMenuHandler(name)))
        return true;
    return handled;
}

void RunMenuEnabling()
{
    RunMenuEnablingFor(FrontWindow(), nullptr);
}

bool ChooseMenuItem(const std::shared_ptr<MenuItem>& item)
{
    return ChooseMenuItemFor(item, FrontWindow());
}

} // namespace fw
