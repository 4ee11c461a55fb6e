#include "platform/ProgressBar.h"

#include <QProgressBar>

#include "platform/Application.h"
#include "platform/qt/RectControlImpl.h"

namespace fw {

ProgressBar::ProgressBar()
{
    RegisterFrameworkClasses();
}

ProgressBar::~ProgressBar() = default;

void ProgressBar::SetValue(int32_t value)
{
    m_value = value;
    Update();
}

void ProgressBar::SetMaximum(int32_t value)
{
    m_maximum = value;
    Update();
}

std::unique_ptr<RectControlImpl> ProgressBar::CreateImpl()
{
    QWidget* content = ContentOf(*this);
    if (!content)
        return nullptr;
    auto* bar = new QProgressBar(content);
    bar->setTextVisible(false);
    // The values may have been set before the control joined its window.
    if (m_maximum == 0) {
        bar->setRange(0, 0);
    } else {
        bar->setRange(0, m_maximum);
        bar->setValue(m_value);
    }
    auto impl = std::make_unique<RectControlImpl>(bar);
    return impl;
}

void ProgressBar::Update()
{
    QProgressBar* bar = WidgetOf<QProgressBar>(*this);
    if (!bar)
        return;
    if (m_maximum == 0) {
        // A range of 0 to 0 is Qt's busy indicator.
        bar->setRange(0, 0);
    } else {
        bar->setRange(0, m_maximum);
        bar->setValue(m_value);
    }
}

} // namespace fw
