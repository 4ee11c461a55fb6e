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

bool PushButton::Default() const
{
    auto window = GetWindow();
    if (!window)
        return m_default;
    return window->Impl().DefaultButton().get() == this;
}

void PushButton::SetDefault(bool value)
{
    m_default = value;
    auto window = GetWindow();
    if (!window)
        return;
    auto self = std::static_pointer_cast<PushButton>(shared_from_this());
    WindowImpl& impl = window->Impl();
    auto previous = impl.DefaultButton();
    if (value) {
        impl.SetDefaultButton(self);
        if (previous && previous != self) {
            previous->m_default = false;
            if (QPushButton* other = WidgetOf<QPushButton>(*previous))
                other->setDefault(false);
        }
    } else if (previous == self) {
        impl.SetDefaultButton(nullptr);
    }
    if (QPushButton* button = WidgetOf<QPushButton>(*this))
        button->setDefault(value);
}

bool PushButton::Cancel() const
{
    auto window = GetWindow();
    if (!window)
        return m_cancel;
    return window->Impl().CancelButton().get() == this;
}

void PushButton::SetCancel(bool value)
{
    m_cancel = value;
    auto window = GetWindow();
    if (!window)
        return;
    WindowImpl& impl = window->Impl();
    auto self = std::static_pointer_cast<PushButton>(shared_from_this());
    if (value)
        impl.SetCancelButton(self);
    else if (impl.CancelButton() == self)
        impl.SetCancelButton(nullptr);
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
