#pragma once

// The Qt side of a control with a place: its widget, a direct child of the
// window's content area. Private to platform/qt.

#include <memory>
#include <optional>

#include <QAbstractButton>
#include <QFont>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include "platform/RectControl.h"

namespace fw {

class RectControlImpl {
public:
    explicit RectControlImpl(QWidget* widget);
    virtual ~RectControlImpl();
    RectControlImpl(const RectControlImpl&) = delete;
    RectControlImpl& operator=(const RectControlImpl&) = delete;

    // Null once the window's Qt side is gone.
    QWidget* Widget() const { return m_widget.data(); }

    // A control lying wholly outside its window's content area cannot be
    // seen, so it must not take the keyboard: neither Tab nor activating the
    // window may hand it the focus. Called whenever the control or the
    // content area changes its place or size.
    void UpdateFocusReach();

private:
    QPointer<QWidget> m_widget;
    // The widget's own focus policy while it is kept from the focus.
    std::optional<Qt::FocusPolicy> m_parkedPolicy;
};

// The content widget of the control's window; nullptr when there is none.
QWidget* ContentOf(const RectControl& control);

// The control's widget as its Qt class; nullptr before the widget exists or
// once it is gone.
template <class W>
W* WidgetOf(const RectControl& control)
{
    return control.Impl() ? qobject_cast<W*>(control.Impl()->Widget()) : nullptr;
}

// The font a control's text style names: "System" is the desktop's UI font,
// other families resolve through fontconfig. A size is in the same points as
// the controls' places (one point per logical pixel), so a text keeps its
// place in a layout measured in points.
QFont FontFor(const RectControl& control);
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);

// Shows `text` on a push button's or check box's widget, once it has one.
inline void SetButtonText(const RectControl& control, const std::string& text)
{
    if (auto* button = WidgetOf<QAbstractButton>(control))
        button->setText(ToQString(text));
}

// Holds a control weakly from its widget: events reach the control while it
// lives and keep it alive while they run.
template <class C>
class ControlLink {
public:
    void Link(const std::shared_ptr<C>& control) { m_control = control; }
    std::shared_ptr<C> Lock() const { return m_control.lock(); }

private:
    std::weak_ptr<C> m_control;
};

// The widget of a control that paints itself: linked to its control, and
// with no background of its own, so what it leaves unpainted shows what lies
// under it.
template <class C>
class PaintedWidget : public QWidget {
public:
    PaintedWidget(QWidget* parent, const std::shared_ptr<C>& control)
        : QWidget(parent)
    {
        m_link.Link(control);
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
    }

protected:
    std::shared_ptr<C> Linked() const { return m_link.Lock(); }

    // Paints the control; not called once the control is gone.
    virtual void Paint(QPainter& painter, C& control) = 0;

    void paintEvent(QPaintEvent*) override
    {
        auto control = Linked();
        if (!control)
            return;
        QPainter painter(this);
        Paint(painter, *control);
    }

private:
    ControlLink<C> m_link;
};

// The implementation of a control drawn by a PaintedWidget of class W;
// nullptr while the control's window has no content area.
template <class W, class C>
std::unique_ptr<RectControlImpl> PaintedImpl(C& control)
{
    QWidget* content = ContentOf(control);
    if (!content)
        return nullptr;
    auto self = std::static_pointer_cast<C>(control.shared_from_this());
    return std::make_unique<RectControlImpl>(new W(content, self));
}

} // namespace fw
