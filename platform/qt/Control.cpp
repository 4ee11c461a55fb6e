#include "platform/Control.h"

#include "platform/Window.h"

namespace fw {

Control::Control() = default;
Control::~Control() = default;

void Control::Event_Open()
{
    if (OnOpen)
        OnOpen(*this);
}

void Control::AttachToWindow(const std::shared_ptr<Window>& window)
{
    m_window = window;
    WindowAttached();
}

std::string Control::HandlerName(const std::string& event) const
{
    auto window = m_window.lock();
    std::string owner = window ? window->ShortClassName() : ClassName();
    return owner + "." + (m_name.empty() ? ClassName() : m_name) + "_" + event;
}

} // namespace fw
