#include "platform/RectControl.h"

#include <algorithm>

#include <QApplication>

#include "platform/Window.h"
#include "platform/qt/RectControlImpl.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

// ---------------------------------------------------------------------------
// Qt-side helpers shared by the controls

RectControlImpl::RectControlImpl(QWidget* widget)
    : m_widget(widget)
{
}

RectControlImpl::~RectControlImpl()
{
    if (m_widget) {
        m_widget->hide();
        // Later: the control may be let go inside one of its widget's events.
        m_widget->deleteLater();
    }
}

void RectControlImpl::UpdateFocusReach()
{
    QWidget* widget = m_widget.data();
    QWidget* content = widget ? widget->parentWidget() : nullptr;
    if (!content)
        return;
    if (widget->geometry().intersects(content->rect())) {
        if (m_parkedPolicy) {
            widget->setFocusPolicy(*m_parkedPolicy);
            m_parkedPolicy.reset();
        }
        return;
    }
    if (!m_parkedPolicy) {
        m_parkedPolicy = widget->focusPolicy();
        widget->setFocusPolicy(Qt::NoFocus);
    }
    // The window's focus widget is remembered while the window is inactive
    // too, and would be given the focus back on the next activation.
    QWidget* focused = widget->window()->focusWidget();
    if (focused && (focused == widget || widget->isAncestorOf(focused)))
        focused->clearFocus();
}

QWidget* ContentOf(const RectControl& control)
{
    auto window = control.GetWindow();
    return window ? window->Impl().Content() : nullptr;
}

QFont FontFor(const RectControl& control)
{
    QFont font = QApplication::font();
    const std::string& family = control.TextFont();
    if (!family.empty() && family != "System" && family != "SmallSystem")
        font.setFamily(ToQString(family));
    if (control.FontSize() > 0)
        font.setPixelSize(std::max(1, int(control.FontSize() + 0.5)));
    font.setBold(control.Bold());
    font.setItalic(control.Italic());
    font.setUnderline(control.Underline());
    return font;
}

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string FromQString(const QString& text)
{
    return text.toUtf8().toStdString();
}

// ---------------------------------------------------------------------------
// RectControl

RectControl::RectControl() = default;
RectControl::~RectControl() = default;

void RectControl::Constructor()
{
}

void RectControl::SetLeft(int32_t value)
{
    m_left = value;
    GeometryChanged();
}

void RectControl::SetTop(int32_t value)
{
    m_top = value;
    GeometryChanged();
}

void RectControl::SetWidth(int32_t value)
{
    m_width = value;
    GeometryChanged();
}

void RectControl::SetHeight(int32_t value)
{
    m_height = value;
    GeometryChanged();
}

void RectControl::SetVisible(bool value)
{
    m_visible = value;
    GeometryChanged();
}

void RectControl::SetEnabled(bool value)
{
    m_enabled = value;
    GeometryChanged();
}

void RectControl::SetInitialParent(const std::string& name)
{
    m_initialParent = name;
    if (auto window = GetWindow())
        window->Restack();
}

int32_t RectControl::MouseX() const
{
    auto window = GetWindow();
    return window ? window->MouseX() : 0;
}

int32_t RectControl::MouseY() const
{
    auto window = GetWindow();
    return window ? window->MouseY() : 0;
}

void RectControl::Refresh(bool)
{
    if (m_impl && m_impl->Widget())
        m_impl->Widget()->update();
}

void RectControl::SetTextFont(const std::string& value)
{
    m_textFont = value;
    StyleChanged();
}

void RectControl::SetFontSize(double points)
{
    m_textSize = points < 0 ? 0 : points;
    StyleChanged();
}

void RectControl::SetBold(bool value)
{
    m_bold = value;
    StyleChanged();
}

void RectControl::SetItalic(bool value)
{
    m_italic = value;
    StyleChanged();
}

void RectControl::SetUnderline(bool value)
{
    m_underline = value;
    StyleChanged();
}

void RectControl::SetImpl(std::unique_ptr<RectControlImpl> impl)
{
    m_impl = std::move(impl);
}

void RectControl::GeometryChanged()
{
    QWidget* widget = m_impl ? m_impl->Widget() : nullptr;
    if (!widget)
        return;
    // Clamped for Qt, which keeps the far edges as ints; the values the
    // program set are kept as they were.
    widget->setGeometry(ClampPosition(m_left), ClampPosition(m_top), std::clamp(m_width, 0, QWIDGETSIZE_MAX),
        std::clamp(m_height, 0, QWIDGETSIZE_MAX));
    widget->setEnabled(m_enabled);
    widget->setVisible(m_visible);
    m_impl->UpdateFocusReach();
}

void RectControl::StyleChanged()
{
    QWidget* widget = m_impl ? m_impl->Widget() : nullptr;
    if (!widget)
        return;
    widget->setFont(FontFor(*this));
    widget->update();
}

std::unique_ptr<RectControlImpl> RectControl::CreateImpl()
{
    QWidget* content = ContentOf(*this);
    if (!content)
        return nullptr;
    return std::make_unique<RectControlImpl>(new QWidget(content));
}

void RectControl::WindowAttached()
{
    if (m_impl)
        return;
    m_impl = CreateImpl();
    GeometryChanged();
    StyleChanged();
    if (auto window = GetWindow())
        window->Restack();
}

} // namespace fw
