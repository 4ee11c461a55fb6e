#include "platform/ProgressBar.h"

#include <QProgressBar>

#include "platform/Object.h"
#include "platform/qt/RectControlImpl.h"

namespace fw {

namespace {

template <class V>
PropertySetter Setter(PropertyType type, void (*apply)(ProgressBar&, const V&))
{
    return PropertySetter { type, [apply](Object& target, const PropertyValue& value) {
                               apply(dynamic_cast<ProgressBar&>(target), std::get<V>(value));
                           } };
}

// The widget of the bar, found through the control's implementation.
QProgressBar* BarOf(const ProgressBar& bar)
{
    RectControlImpl* impl = bar.Impl();
    return impl ? qobject_cast<QProgressBar*>(impl->Widget()) : nullptr;
}

} // namespace

// Only the bar's own properties: the place, visibility and the rest come
// from the RectControl table.
void RegisterProgressBarClass()
{
    using T = PropertyType;
    ClassDescriptor d;
    d.Name = "ProgressBar";
    d.Base = "RectControl";
    d.Factory = [] { return std::static_pointer_cast<Object>(std::make_shared<ProgressBar>()); };
    auto& p = d.Properties;
    p["Value"] = Setter<int32_t>(T::Int32, [](ProgressBar& b, const int32_t& v) { b.SetValue(v); });
    p["Maximum"] = Setter<int32_t>(T::Int32, [](ProgressBar& b, const int32_t& v) { b.SetMaximum(v); });
    RegisterClass(std::move(d));
}

ProgressBar::ProgressBar()
{
    if (!FindClass("ProgressBar"))
        RegisterProgressBarClass();
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
    QProgressBar* bar = BarOf(*this);
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
