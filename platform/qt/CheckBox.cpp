#include "platform/CheckBox.h"

#include <QCheckBox>

#include "platform/Application.h"
#include "platform/qt/RectControlImpl.h"

namespace fw {

void CheckBox::SetCaption(const std::string& text)
{
    m_caption = text;
    SetButtonText(*this, text);
}

bool CheckBox::Value() const
{
    return m_state == 1;
}

void CheckBox::SetValue(bool value)
{
    SetState(value ? 1 : 0);
}

void CheckBox::SetState(int32_t state)
{
    m_state = (state == 1 || state == 2) ? state : 0;
    ShowState();
    RaiseAction();
}

void CheckBox::SetTextUnit(int32_t unit)
{
    SetTextUnitValue(unit);
}

void CheckBox::Click()
{
    if (!Enabled())
        return;
    SetValue(!Value());
}

void CheckBox::Event_Action()
{
    if (OnAction)
        OnAction(*this);
}

void CheckBox::ShowState()
{
    QCheckBox* box = WidgetOf<QCheckBox>(*this);
    if (!box)
        return;
    box->setTristate(m_state == 2);
    box->setCheckState(m_state == 2 ? Qt::PartiallyChecked : m_state == 1 ? Qt::Checked : Qt::Unchecked);
}

void CheckBox::RaiseAction()
{
    auto keep = weak_from_this().lock();
    DispatchEvent(HandlerName("Action"), [&] { Event_Action(); });
}

std::unique_ptr<RectControlImpl> CheckBox::CreateImpl()
{
    QWidget* content = ContentOf(*this);
    if (!content)
        return nullptr;
    auto* box = new QCheckBox(ToQString(m_caption), content);
    box->setFocusPolicy(Qt::TabFocus);
    box->setCheckState(m_state == 1 ? Qt::Checked : Qt::Unchecked);
    std::weak_ptr<CheckBox> weak = std::static_pointer_cast<CheckBox>(shared_from_this());
    // `clicked` comes only from the player (never from setCheckState), once
    // per click; the value follows the box and Action is raised once.
    QObject::connect(box, &QCheckBox::clicked, box, [weak, box](bool) {
        auto self = weak.lock();
        if (!self)
            return;
        int32_t state = box->checkState() == Qt::Checked ? 1 : 0;
        box->setTristate(false);
        self->m_state = state;
        self->ShowState();
        self->RaiseAction();
    });
    auto impl = std::make_unique<RectControlImpl>(box);
    return impl;
}

} // namespace fw
