#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Application.h"
#include "platform/Object.h"
#include "platform/PropertyList.h"

namespace fw {

class Control;
class MenuBar;
class WindowImpl;

// A text size that a window sets in code on a control, before the control's
// property list (see Window::Place).
struct TextSize {
    double Points;
};

// A top-level window. Subclasses override the construction hooks (Layout,
// CreateControls, AddMenuHandlers) and the events. A window owns its controls.
class Window : public Object {
public:
    Window();
    ~Window() override;
    std::string ClassName() const override { return "Window"; }

    // The framework's window construction: registers the window as the
    // implicit instance of its class, runs Layout, CreateControls and
    // AddMenuHandlers, raises the controls' Open events in creation order,
    // then Event_Open; a window whose Visible is True is shown afterwards.
    void Constructor();

    // Position of the content area on the screen, in points.
    int32_t Left() const;
    void SetLeft(int32_t value);
    int32_t Top() const;
    void SetTop(int32_t value);
    // Size of the content area in points.
    int32_t Width() const;
    void SetWidth(int32_t value);
    int32_t Height() const;
    void SetHeight(int32_t value);
    std::string Title() const;
    void SetTitle(const std::string& value);
    bool Visible() const;
    // Shows (True) or hides (False) the window; during construction it only
    // records whether the window appears once construction has finished.
    void SetVisible(bool value);
    bool IsOpen() const;

    // Window kinds and title-bar buttons, as the property list gives them.
    int32_t Frame() const { return m_frame; }
    void SetFrame(int32_t value);
    int32_t Placement() const { return m_placement; }
    void SetPlacement(int32_t value);
    bool Resizeable() const { return m_resizeable; }
    void SetResizeable(bool value);
    bool CloseButton() const { return m_closeButton; }
    void SetCloseButton(bool value);
    bool MinimizeButton() const { return m_minimizeButton; }
    void SetMinimizeButton(bool value);
    bool MaximizeButton() const { return m_maximizeButton; }
    void SetMaximizeButton(bool value);
    bool MenuBarVisible() const { return m_menuBarVisible; }
    void SetMenuBarVisible(bool value);
    bool HasBackColor() const { return m_hasBackColor; }
    void SetHasBackColor(bool value);
    Color BackColor() const { return m_backColor; }
    void SetBackColor(Color value);

    // The mouse position in window coordinates, from the last mouse event
    // delivered to this window.
    int32_t MouseX() const;
    int32_t MouseY() const;

    void Show();
    void Hide();
    // Closes the window: raises Event_Close, closes its controls, removes it
    // from the implicit-instance registry. A window closed from inside one of
    // its own handlers stays alive until that handler returns. Closing a
    // closed window does nothing.
    void Close();
    // Redraws the window (eraseBackground: background first).
    void Refresh(bool eraseBackground = true);
    void SetFocus();

    // The class name without its module prefix ("Window1" for
    // "Window1.Window1"); used to name handlers in error reports.
    std::string ShortClassName() const;

    // Raises Event_EnableMenuItems through the dispatcher (the menu layer
    // calls it before a menu opens or a shortcut fires).
    void RaiseEnableMenuItems();

    std::shared_ptr<MenuBar> GetMenuBar() const;
    void SetMenuBar(std::shared_ptr<MenuBar> bar);

    // Makes a new control of class T owned by this window (not yet named).
    template <class T>
    std::shared_ptr<T> New()
    {
        auto control = std::make_shared<T>();
        Adopt(control);
        return control;
    }
    // The same, for a class known only by its registered name.
    std::shared_ptr<Control> New(const std::string& className);
    // Registers a control under `name` (several controls of an array share it).
    void AddControl(const std::shared_ptr<Control>& control, const std::string& name);
    // nullptr when no control has that name (and index).
    std::shared_ptr<Control> ControlByName(const std::string& name) const;
    std::shared_ptr<Control> ControlByNameIndex(const std::string& name, int32_t index) const;
    // The control of that name as class T: nullptr when there is none, an
    // IllegalCastException when it is of another class.
    template <class T>
    std::shared_ptr<T> ControlAs(const std::string& name) const
    {
        return RuntimeCheckCast<T>(ControlByName(name));
    }
    // Controls in creation order.
    const std::vector<std::shared_ptr<Control>>& Controls() const { return m_controls; }

    void AddMenuHandler(const std::string& name, MenuHandler handler);
    const MenuHandler* FindMenuHandler(const std::string& name) const;

    // A handler bound to a method of this window; it does nothing once the
    // window is gone.
    template <class W, class C>
    std::function<void(C&)> Bind(void (W::*method)(C&))
    {
        std::weak_ptr<W> weak = std::static_pointer_cast<W>(shared_from_this());
        return [weak, method](C& sender) {
            if (auto self = weak.lock())
                ((*self).*method)(sender);
        };
    }

    // Creates a control of class T the one way every window does, in this
    // order: the new object, its constructor, registration under `name`, the
    // text size when one is given, TextUnit 0 on a control that shows text,
    // the property list, and only then the handlers, so the laid-out values
    // raise none of them. Each handler is a method of the window: one taking
    // the control's class is bound to its Action, one taking Control& to Open.
    template <class T, class... Handlers>
    std::shared_ptr<T> Place(const std::string& name, std::string_view properties, Handlers... handlers)
    {
        return Assemble<T>(name, [](T&) {}, properties, handlers...);
    }
    template <class T, class... Handlers>
    std::shared_ptr<T> Place(const std::string& name, TextSize size, std::string_view properties, Handlers... handlers)
    {
        return Assemble<T>(name, [size](T& control) { control.SetTextSize(size.Points); }, properties, handlers...);
    }

    // Platform internals; not for the program's code.
    WindowImpl& Impl() const { return *m_impl; }
    // Recomputes the stacking of the controls' widgets (after a control was
    // added or given another parent).
    void Restack();
    // Raises Event_Moved through the dispatcher.
    void RaiseMoved();

protected:
    // Construction events.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers() {}
    // Window events.
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_Moved() {}
    virtual void Event_EnableMenuItems() {}

private:
    friend class WindowImpl;
    void Adopt(const std::shared_ptr<Control>& control);
    template <class T, class SetSize, class... Handlers>
    std::shared_ptr<T> Assemble(const std::string& name, SetSize setSize, std::string_view properties,
        Handlers... handlers)
    {
        auto control = New<T>();
        if constexpr (requires { control->Constructor(); })
            control->Constructor();
        AddControl(control, name);
        setSize(*control);
        if constexpr (requires { control->SetTextUnit(0); })
            control->SetTextUnit(0);
        RuntimeMassPropertySetter(*control, properties);
        (BindEvent(*control, handlers), ...);
        return control;
    }
    template <class T, class W, class Sender>
    void BindEvent(T& control, void (W::*method)(Sender&))
    {
        static_assert(std::is_same_v<Sender, Control> || std::is_same_v<Sender, T>,
            "a handler takes Control& (Open) or the control's own class (Action)");
        if constexpr (std::is_same_v<Sender, Control>)
            control.OnOpen = Bind(method);
        else
            control.OnAction = Bind(method);
    }

    std::unique_ptr<WindowImpl> m_impl;
    std::vector<std::shared_ptr<Control>> m_controls;
    std::multimap<std::string, std::weak_ptr<Control>> m_byName;
    std::map<std::string, MenuHandler> m_menuHandlers;
    std::shared_ptr<MenuBar> m_menuBar;

    bool m_constructed = false;
    bool m_constructing = false;
    bool m_open = false;
    bool m_closing = false;
    bool m_visible = false;
    int32_t m_frame = 0;
    int32_t m_placement = 0;
    bool m_resizeable = true;
    bool m_closeButton = true;
    bool m_minimizeButton = true;
    bool m_maximizeButton = true;
    bool m_menuBarVisible = true;
    bool m_hasBackColor = false;
    Color m_backColor = RGB(255, 255, 255);
};

// The open window registered under a class's full name ("Window1.Window1"),
// or nullptr.
std::shared_ptr<Window> RuntimeGetImplicitWindow(const std::string& fullClassName);
// Open windows, front first.
std::vector<std::shared_ptr<Window>> OpenWindows();

// The implicit-instance accessor rule: the open window of the class, else a
// new one constructed now.
template <class W>
std::shared_ptr<W> ImplicitInstance(const std::string& fullClassName)
{
    auto window = RuntimeGetImplicitWindow(fullClassName);
    if (!window) {
        auto created = std::make_shared<W>();
        created->Constructor();
        window = created;
    }
    return RuntimeCheckCast<W>(window);
}

} // namespace fw
