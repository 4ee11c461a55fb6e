// The keyboard's state, tracked from the input events the application
// receives, and each window's mouse position.
#include <map>
#include <set>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include "platform/System.h"
#include "platform/qt/RuntimeInternal.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

namespace {

std::set<int32_t> s_keysDown;
bool s_option = false;
bool s_control = false;

// Classic Mac virtual key codes (ANSI layout) of the keys Qt names.
const std::map<int, int32_t>& KeyTable()
{
    static const std::map<int, int32_t> table = {
        { Qt::Key_A, 0 }, { Qt::Key_S, 1 }, { Qt::Key_D, 2 }, { Qt::Key_F, 3 }, { Qt::Key_H, 4 },
        { Qt::Key_G, 5 }, { Qt::Key_Z, 6 }, { Qt::Key_X, 7 }, { Qt::Key_C, 8 }, { Qt::Key_V, 9 },
        { Qt::Key_B, 11 }, { Qt::Key_Q, 12 }, { Qt::Key_W, 13 }, { Qt::Key_E, 14 }, { Qt::Key_R, 15 },
        { Qt::Key_Y, 16 }, { Qt::Key_T, 17 }, { Qt::Key_1, 18 }, { Qt::Key_2, 19 }, { Qt::Key_3, 20 },
        { Qt::Key_4, 21 }, { Qt::Key_6, 22 }, { Qt::Key_5, 23 }, { Qt::Key_Equal, 24 }, { Qt::Key_9, 25 },
        { Qt::Key_7, 26 }, { Qt::Key_Minus, 27 }, { Qt::Key_8, 28 }, { Qt::Key_0, 29 },
        { Qt::Key_BracketRight, 30 }, { Qt::Key_O, 31 }, { Qt::Key_U, 32 }, { Qt::Key_BracketLeft, 33 },
        { Qt::Key_I, 34 }, { Qt::Key_P, 35 }, { Qt::Key_Return, 36 }, { Qt::Key_L, 37 }, { Qt::Key_J, 38 },
        { Qt::Key_Apostrophe, 39 }, { Qt::Key_K, 40 }, { Qt::Key_Semicolon, 41 }, { Qt::Key_Backslash, 42 },
        { Qt::Key_Comma, 43 }, { Qt::Key_Slash, 44 }, { Qt::Key_N, 45 }, { Qt::Key_M, 46 },
        { Qt::Key_Period, 47 }, { Qt::Key_Tab, 48 }, { Qt::Key_Space, 49 }, { Qt::Key_QuoteLeft, 50 },
        { Qt::Key_Backspace, 51 }, { Qt::Key_Escape, 53 }, { Qt::Key_Meta, 55 }, { Qt::Key_Shift, 56 },
        { Qt::Key_CapsLock, 57 }, { Qt::Key_Alt, 58 }, { Qt::Key_Control, 59 }, { Qt::Key_Enter, 76 },
        { Qt::Key_F5, 96 }, { Qt::Key_F6, 97 }, { Qt::Key_F7, 98 }, { Qt::Key_F3, 99 }, { Qt::Key_F8, 100 },
        { Qt::Key_F9, 101 }, { Qt::Key_F11, 103 }, { Qt::Key_F10, 109 }, { Qt::Key_F12, 111 },
        { Qt::Key_Home, 115 }, { Qt::Key_PageUp, 116 }, { Qt::Key_Delete, 117 }, { Qt::Key_F4, 118 },
        { Qt::Key_End, 119 }, { Qt::Key_F2, 120 }, { Qt::Key_PageDown, 121 }, { Qt::Key_F1, 122 },
        { Qt::Key_Left, 123 }, { Qt::Key_Right, 124 }, { Qt::Key_Down, 125 }, { Qt::Key_Up, 126 },
    };
    return table;
}

void TrackModifiers(Qt::KeyboardModifiers modifiers)
{
    s_option = modifiers.testFlag(Qt::AltModifier);
    s_control = modifiers.testFlag(Qt::ControlModifier);
}

// Sees every input event before its receiver does, so a handler that reads
// the keyboard or the mouse position gets the state of the event it handles.
class InputTracker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            TrackKey(static_cast<QKeyEvent*>(event));
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            TrackMouse(watched, static_cast<QMouseEvent*>(event));
            break;
        case QEvent::ApplicationDeactivate:
            // Releases that happen in other applications never reach us;
            // forget the held keys rather than keep them down for ever.
            s_keysDown.clear();
            s_option = false;
            s_control = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    void TrackKey(QKeyEvent* event)
    {
        // A key event ignored by its receiver passes here again for each
        // parent; recording it is idempotent, so that does no harm.
        bool press = event->type() == QEvent::KeyPress;
        if (!press && event->isAutoRepeat())
            return;
        TrackModifiers(event->modifiers());
        // The modifier keys' own events carry the state from before them on
        // some systems; the key itself is the better witness.
        if (event->key() == Qt::Key_Alt)
            s_option = press;
        if (event->key() == Qt::Key_Control)
            s_control = press;
        int32_t code = Keyboard::MacKeyCodeForQtKey(event->key());
        if (code >= 0)
            Keyboard::SetKeyDown(code, press);
    }

    void TrackMouse(QObject* watched, QMouseEvent* event)
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return;
        TrackModifiers(event->modifiers());
        WindowImpl* impl = WindowImplOf(widget);
        if (!impl || !impl->Content())
            return;
        QWidget* content = impl->Content();
        QPoint local = event->position().toPoint();
        if (widget == content || content->isAncestorOf(widget))
            impl->SetMouse(widget->mapTo(content, local));
        else
            impl->SetMouse(content->mapFromGlobal(widget->mapToGlobal(local)));
    }
};

} // namespace

void InstallInputTracker()
{
    // Guarded: the tracker goes with the application object, and a later
    // application needs a tracker of its own.
    static QPointer<InputTracker> tracker;
    if (tracker || !QCoreApplication::instance())
        return;
    tracker = new InputTracker(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
}

namespace Keyboard {

bool AsyncKeyDown(int32_t code)
{
    return s_keysDown.count(code) > 0;
}

bool AsyncOptionKey()
{
    return s_option;
}

bool AsyncControlKey()
{
    return s_control;
}

void SetKeyDown(int32_t code, bool down)
{
    if (down)
        s_keysDown.insert(code);
    else
        s_keysDown.erase(code);
}

void SetModifiers(bool option, bool control)
{
    s_option = option;
    s_control = control;
}

void ResetState()
{
    s_keysDown.clear();
    s_option = false;
    s_control = false;
}

int32_t MacKeyCodeForQtKey(int qtKey)
{
    auto it = KeyTable().find(qtKey);
    return it == KeyTable().end() ? -1 : it->second;
}

int QtKeyForMacKeyCode(int32_t code)
{
    for (const auto& [key, mac] : KeyTable()) {
        if (mac == code)
            return key;
    }
    return 0;
}

} // namespace Keyboard

} // namespace fw
