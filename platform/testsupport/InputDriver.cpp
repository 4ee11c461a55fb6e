#include "platform/testsupport/InputDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/Application.h"
#include "platform/RectControl.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "platform/qt/RectControlImpl.h"
#include "platform/qt/RuntimeInternal.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

namespace {

// The widget that took the last press: like a real mouse grab, moves and the
// release go there until the button comes up.
QPointer<QWidget> s_grab;
bool s_buttonDown = false;

Qt::KeyboardModifiers CurrentModifiers()
{
    Qt::KeyboardModifiers modifiers;
    if (Keyboard::AsyncOptionKey())
        modifiers |= Qt::AltModifier;
    if (Keyboard::AsyncControlKey())
        modifiers |= Qt::ControlModifier;
    return modifiers;
}

QWidget* ContentOfWindow(Window& window)
{
    QWidget* content = window.Impl().Content();
    if (!content)
        throw NilObjectException("the window is closed");
    return content;
}

QWidget* WidgetAt(QWidget* content, QPoint p)
{
    QWidget* child = content->childAt(p);
    return child ? child : content;
}

void SendMouse(QWidget* content, QWidget* target, QEvent::Type type, QPoint inWindow, Qt::MouseButton button,
    Qt::MouseButtons buttons)
{
    QPointer<QWidget> guard(target);
    QPointF local = target->mapFrom(content, inWindow);
    QPointF scene = content->mapTo(content->window(), inWindow);
    QPointF global = content->mapToGlobal(inWindow);
    QMouseEvent event(type, local, scene, global, button, buttons, CurrentModifiers());
    QCoreApplication::sendEvent(target, &event);
}

QObject* KeyTarget()
{
    if (QWidget* focus = QApplication::focusWidget())
        return focus;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (const auto& window : OpenWindows()) {
        if (QMainWindow* host = window->Impl().TopLevel())
            return host;
    }
    return QCoreApplication::instance();
}

void SendKey(QObject* target, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, CurrentModifiers());
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

// A test that ends with the button down leaves the next one a clean mouse.
const bool s_resetRegistered = [] {
    AddResetForTests([] {
        s_grab = nullptr;
        s_buttonDown = false;
    });
    return true;
}();

namespace {

// A press of the left button on what lies at (x, y), which then has the
// mouse until the release; `type` is a press or a double-click.
void PressAt(Window& window, int32_t x, int32_t y, QEvent::Type type)
{
    QWidget* content = ContentOfWindow(window);
    QPoint p(x, y);
    QWidget* target = WidgetAt(content, p);
    s_grab = target;
    s_buttonDown = true;
    SendMouse(content, target, type, p, Qt::LeftButton, Qt::LeftButton);
}

} // namespace

namespace Input {

void MouseDown(Window& window, int32_t x, int32_t y)
{
    PressAt(window, x, y, QEvent::MouseButtonPress);
}

void MouseMove(Window& window, int32_t x, int32_t y)
{
    QWidget* content = ContentOfWindow(window);
    QPoint p(x, y);
    QWidget* target = (s_buttonDown && s_grab) ? s_grab.data() : WidgetAt(content, p);
    SendMouse(content, target, QEvent::MouseMove, p, Qt::NoButton, s_buttonDown ? Qt::LeftButton : Qt::NoButton);
}

void MouseUp(Window& window, int32_t x, int32_t y)
{
    QWidget* content = ContentOfWindow(window);
    QPoint p(x, y);
    QWidget* target = s_grab ? s_grab.data() : WidgetAt(content, p);
    s_grab = nullptr;
    s_buttonDown = false;
    SendMouse(content, target, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

void DoubleClick(Window& window, int32_t x, int32_t y)
{
    MouseDown(window, x, y);
    MouseUp(window, x, y);
    // The second press arrives as a double-click, as the platform delivers
    // it when it falls within the desktop's double-click interval.
    PressAt(window, x, y, QEvent::MouseButtonDblClick);
    MouseUp(window, x, y);
}

void KeyDown(int32_t macKeyCode)
{
    int key = Keyboard::QtKeyForMacKeyCode(macKeyCode);
    if (key == 0)
        throw OutOfBoundsException("no key has the code " + std::to_string(macKeyCode));
    SendKey(KeyTarget(), QEvent::KeyPress, key);
}

void KeyUp(int32_t macKeyCode)
{
    int key = Keyboard::QtKeyForMacKeyCode(macKeyCode);
    if (key == 0)
        throw OutOfBoundsException("no key has the code " + std::to_string(macKeyCode));
    SendKey(KeyTarget(), QEvent::KeyRelease, key);
}

void SetModifierKeys(bool alt, bool ctrl)
{
    // Each change is a real press or release of the modifier key; the event
    // carries the modifier state after it, as key events report it.
    auto change = [](bool want, bool now, int key, Qt::KeyboardModifier flag) {
        if (want == now)
            return;
        Qt::KeyboardModifiers modifiers = CurrentModifiers();
        modifiers.setFlag(flag, want);
        QKeyEvent event(want ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(KeyTarget(), &event);
    };
    change(alt, Keyboard::AsyncOptionKey(), Qt::Key_Alt, Qt::AltModifier);
    change(ctrl, Keyboard::AsyncControlKey(), Qt::Key_Control, Qt::ControlModifier);
}

void PressReturn(Window& window)
{
    QMainWindow* host = window.Impl().TopLevel();
    if (!host)
        throw NilObjectException("the window is closed");
    QWidget* focus = host->focusWidget();
    QObject* target = focus ? static_cast<QObject*>(focus) : host;
    SendKey(target, QEvent::KeyPress, Qt::Key_Return);
    SendKey(target, QEvent::KeyRelease, Qt::Key_Return);
}

void Click(RectControl& control)
{
    QWidget* widget = control.Impl() ? control.Impl()->Widget() : nullptr;
    if (!widget)
        throw NilObjectException("the control has no widget");
    auto window = control.GetWindow();
    if (!window)
        throw NilObjectException("the control has no window");
    // The widget's own geometry is the clamped one Qt works with.
    const QRect area = widget->geometry();
    QPoint centre(area.x() + area.width() / 2, area.y() + area.height() / 2);
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        // A check box takes clicks on its box and its caption only.
        QStyleOptionButton option;
        option.initFrom(box);
        QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        centre = box->mapTo(box->parentWidget(), indicator.center());
    }
    QWidget* content = ContentOfWindow(*window);
    s_grab = nullptr;
    s_buttonDown = false;
    QPointer<QWidget> guard(widget);
    SendMouse(content, widget, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    if (guard)
        SendMouse(content, guard, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
}

void CloseBox(Window& window)
{
    QMainWindow* host = window.Impl().TopLevel();
    if (!host || !host->windowHandle())
        throw NilObjectException("the window is closed or not shown");
    // The platform window delivers the close as the window system's own.
    host->windowHandle()->close();
}

FrameKind FrameOf(Window& window)
{
    QMainWindow* host = window.Impl().TopLevel();
    if (!host)
        throw NilObjectException("the window is closed");
    const Qt::WindowFlags flags = host->windowFlags();
    FrameKind kind;
    kind.Utility = (flags & Qt::WindowType_Mask) == Qt::Tool;
    kind.Resizable = host->minimumSize() != host->maximumSize();
    kind.MinimizeButton = flags.testFlag(Qt::WindowMinimizeButtonHint);
    kind.MaximizeButton = flags.testFlag(Qt::WindowMaximizeButtonHint);
    kind.CloseButton = flags.testFlag(Qt::WindowCloseButtonHint);
    return kind;
}

void ProcessEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds < 0 ? 0 : milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace Input

} // namespace fw
