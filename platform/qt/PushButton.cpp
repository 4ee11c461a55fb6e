#include "platform/PushButton.h"

#include <QPushButton>

#include "platform/Application.h"
#include "platform/Window.h"
#include "platform/qt/RectControlImpl.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

void PushButton::SetCaption(const std::string& text)
{
    m_caption = text;
    SetButtonText(*this, text);
}

namespace {

// The window's default and cancel buttons: how to read and how to set each.
using RoleGetter = std::shared_ptr<PushButton> (WindowImpl::*)() const;
using RoleSetter = void (WindowImpl::*)(const std::shared_ptr<PushButton>&);

// Whether the button holds the role in its window; before it joins one, what
// its property list said.
bool HoldsRole(const PushButton& button, RoleGetter get, bool stored)
{
    auto window = button.GetWindow();
    if (!window)
        return stored;
    return (window->Impl().*get)().get() == &button;
}

// Gives the button the role (value True) or takes it back when it holds it;
// returns the button that held the role before.
std::shared_ptr<PushButton> AssignRole(PushButton& button, Window& window, bool value, RoleGetter get, RoleSetter set)
{
    WindowImpl& impl = window.Impl();
    auto self = std::static_pointer_cast<PushButton>(button.shared_from_this());
    auto previous = (impl.*get)();
    if (value)
        (impl.*set)(self);
    else if (previous == self)
        (impl.*set)(nullptr);
    return previous;
}

} // namespace

bool PushButton::Default() const
{
    return HoldsRole(*this, &WindowImpl::DefaultButton, m_default);
}

void PushButton::SetDefault(bool value)
{
    m_default = value;
    auto window = GetWindow();
    if (!window)
        return;
    auto previous = AssignRole(*this, *window, value, &WindowImpl::DefaultButton, &WindowImpl::SetDefaultButton);
    if (value && previous && previous.get() != this) {
        previous->m_default = false;
        if (QPushButton* other = WidgetOf<QPushButton>(*previous))
            other->setDefault(false);
    }
    if (QPushButton* button = WidgetOf<QPushButton>(*this))
        button->setDefault(value);
}

bool PushButton::Cancel() const
{
    return HoldsRole(*this, &WindowImpl::CancelButton, m_cancel);
}

void PushButton::SetCancel(bool value)
{
    m_cancel = value;
    if (auto window = GetWindow())
        AssignRole(*this, *window, value, &WindowImpl::CancelButton, &WindowImpl::SetCancelButton);
}

void PushButton::SetTextUnit(int32_t unit)
{
    SetTextUnitValue(unit);
}

void PushButton::Push()
{
    if (!Enabled())
        return;
    auto keep = shared_from_this();
    DispatchEvent(HandlerName("Action"), [&] { Event_Action(); });
}

void PushButton::Event_Action()
{
    if (OnAction)
        OnAction(*this);
}

std::unique_ptr<RectControlImpl> PushButton::CreateImpl()
{
    QWidget* content = ContentOf(*this);
    if (!content)
        return nullptr;
    auto* button = new QPushButton(ToQString(m_caption), content);
    // Return reaches the window, which presses its default button.
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    std::weak_ptr<PushButton> weak = std::static_pointer_cast<PushButton>(shared_from_this());
    QObject::connect(button, &QPushButton::clicked, button, [weak] {
        if (auto self = weak.lock())
            self->Push();
    });
    return std::make_unique<RectControlImpl>(button);
}

} // namespace fw
