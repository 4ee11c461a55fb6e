#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Object.h"

namespace fw {

// The menu model. A menu bar is a MenuItem whose children are the menus; one
// bar object may serve several windows, each showing its own view of it.
// "&" marks the access key; Text "-" is a separator; "Cmd+X" shortcuts map
// to Ctrl+X.
class MenuItem : public Object {
public:
    MenuItem();
    ~MenuItem() override;
    std::string ClassName() const override { return "MenuItem"; }

    void Constructor() {}

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& v) { if (m_name != v) { m_name = v; Changed(); } }
    const std::string& Text() const { return m_text; }
    void SetText(const std::string& v) { if (m_text != v) { m_text = v; Changed(); } }
    // Empty text means "no shortcut"; HasKeyboardShortcut tells an empty
    // shortcut from one never set.
    const std::string& KeyboardShortcut() const { return m_shortcut; }
    void SetKeyboardShortcut(const std::string& v)
    {
        if (m_hasShortcut && m_shortcut == v)
            return;
        m_shortcut = v;
        m_hasShortcut = true;
        Changed();
    }
    bool HasKeyboardShortcut() const { return m_hasShortcut; }
    bool AutoEnable() const { return m_autoEnable; }
    void SetAutoEnable(bool v) { if (m_autoEnable != v) { m_autoEnable = v; Changed(); } }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v) { if (m_enabled != v) { m_enabled = v; Changed(); } }
    bool Visible() const { return m_visible; }
    void SetVisible(bool v) { if (m_visible != v) { m_visible = v; Changed(); } }

    void Append(const std::shared_ptr<MenuItem>& item);
    // The direct child of that Name, or nullptr.
    std::shared_ptr<MenuItem> Child(const std::string& name) const;
    // This item or any descendant of that Name (depth first), or nullptr.
    std::shared_ptr<MenuItem> Lookup(const std::string& name);
    const std::vector<std::shared_ptr<MenuItem>>& Children() const { return m_children; }
    std::shared_ptr<MenuItem> Parent() const { return m_parent.lock(); }

    // Bumped on every change of this item or of any item below it, so a view
    // of the bar can tell whether it is up to date. Setting a value it already
    // has is no change.
    uint64_t Revision() const;

private:
    void Changed();

    std::string m_name;
    std::string m_text;
    std::string m_shortcut;
    bool m_hasShortcut = false;
    bool m_autoEnable = false;
    bool m_enabled = true;
    bool m_visible = true;
    std::vector<std::shared_ptr<MenuItem>> m_children;
    std::weak_ptr<MenuItem> m_parent;
    uint64_t m_revision = 0;
};

class MenuBar : public MenuItem {
public:
    std::string ClassName() const override { return "MenuBar"; }
};

// Shown in the application menu on macOS; stays in the menu it was appended
// to on Linux.
class AppleMenuItem : public MenuItem {
public:
    std::string ClassName() const override { return "AppleMenuItem"; }
};

// The framework's quit item: choosing it closes every window, then quits.
// Always enabled.
class QuitMenuItem : public MenuItem {
public:
    std::string ClassName() const override { return "QuitMenuItem"; }
};

// Chooses a menu item as the player would (enabling pass first, then the
// front window's handler, then the application's, then the framework's own
// command). Returns whether anything handled it.
bool ChooseMenuItem(const std::shared_ptr<MenuItem>& item);
// The enabling pass run before a menu opens: AutoEnable, then the
// application's and the front window's EnableMenuItems.
void RunMenuEnabling();

// Registers the descriptors of the menu classes; part of the framework's
// external classes.
void RegisterMenuClasses();

// Whether `name` is one of the framework's standard editing commands
// (EditUndo, EditCut, EditCopy, EditPaste, EditClear, EditSelectAll).
bool IsStandardEditCommand(const std::string& name);

} // namespace fw
