#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Object.h"

namespace fw {

class Window;
class ControlImpl;

// Anything a window owns: visual controls, timers, sockets.
class Control : public Object {
public:
    Control();
    ~Control() override;
    std::string ClassName() const override { return "Control"; }

    // The name it was registered under, and its index in a control array
    // (-1 when it is no array element).
    const std::string& Name() const { return m_name; }
    int32_t Index() const { return m_index; }
    void SetIndex(int32_t value) { m_index = value; }

    // The owning window; nullptr once the window is gone.
    std::shared_ptr<Window> GetWindow() const { return m_window.lock(); }

    // Bound handler of the Open event, raised once while the window opens.
    std::function<void(Control&)> OnOpen;

    // Framework hooks; not for the program's code.
    virtual void Event_Open();
    // Called when the owning window closes.
    virtual void Closed() {}
    void AttachToWindow(const std::shared_ptr<Window>& window);
    void SetName(const std::string& name) { m_name = name; }

    // "Window1.MyScramble_Action": how error reports name a handler of this
    // control's event.
    std::string HandlerName(const std::string& event) const;

protected:
    // Called once the control belongs to a window, so the control can build
    // its widget there.
    virtual void WindowAttached() {}

private:
    std::weak_ptr<Window> m_window;
    std::string m_name;
    int32_t m_index = -1;
};

} // namespace fw
