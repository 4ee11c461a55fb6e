#pragma once

// The Qt side of a window: a QMainWindow whose central widget is the content
// area, exactly Width x Height points. Private to platform/qt.

#include <cstdint>
#include <memory>

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "platform/Window.h"

namespace fw {

class PushButton;
class WindowImpl;

// Positions handed to Qt stay within this many points of the origin. Qt keeps
// a rectangle's far edge as an int, so a window or control placed near the
// int limits would overflow there; no screen reaches this far, and a window
// this far out is centred when it is shown.
constexpr int64_t kPositionLimit = int64_t(1) << 24;

// `value` brought into [-kPositionLimit, kPositionLimit].
int ClampPosition(int64_t value);

// The window's content area: controls are its direct children at window
// coordinates.
class ContentWidget : public QWidget {
public:
    explicit ContentWidget(WindowImpl& impl);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    WindowImpl& m_impl;
};

// The top-level Qt window. It reports closing, moving, activation and the
// Return and Escape keys back to its WindowImpl.
class HostWindow : public QMainWindow {
public:
    explicit HostWindow(WindowImpl* impl);
    WindowImpl* Impl() const { return m_impl; }
    // The window object is gone or closed: stop reporting.
    void Detach() { m_impl = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WindowImpl* m_impl;
};

class WindowImpl {
public:
    explicit WindowImpl(Window& owner);
    ~WindowImpl();
    WindowImpl(const WindowImpl&) = delete;
    WindowImpl& operator=(const WindowImpl&) = delete;

    Window& Owner() const { return m_owner; }
    // Null once the window has been closed.
    QMainWindow* TopLevel() const { return m_host.data(); }
    QWidget* Content() const { return m_content.data(); }

    // Content-area position on the screen, in points.
    QPoint ContentPosition() const;
    void MoveContentTo(QPoint position);
    bool PositionSet() const { return m_positionSet; }
    void SetContentSize(int width, int height);
    QSize ContentSize() const { return m_size; }
    // Centres the content area on the primary screen's available area.
    void Centre();
    // True when some part of the content area lies on a screen.
    bool ContentOnAScreen() const;

    void ApplyFlags();
    void ApplyBackground();
    void ApplyMenuBarVisibility();

    void Show();
    void Hide();
    void RaiseHost();
    // Hides the Qt window and lets Qt delete it once control returns to the
    // event loop.
    void Destroy();

    // The mouse in window coordinates, from the last mouse event delivered to
    // any widget of this window.
    QPoint Mouse() const { return m_mouse; }
    void SetMouse(QPoint p) { m_mouse = p; }

    // Keyboard focus. Tab follows the controls' TabIndex (creation order
    // among equals). A window activated with no focus inside gives it to the
    // first control in that order that can take it and can be seen.
    void ApplyTabOrder();
    void FocusFirstControl();
    // Every control checks again whether it lies inside the content area.
    void UpdateFocusReach();

    void SetDefaultButton(const std::shared_ptr<PushButton>& button);
    std::shared_ptr<PushButton> DefaultButton() const { return m_defaultButton.lock(); }
    void SetCancelButton(const std::shared_ptr<PushButton>& button);
    std::shared_ptr<PushButton> CancelButton() const { return m_cancelButton.lock(); }

    // The application's event count when a screen capture last had this
    // window's waiting changes painted.
    uint64_t paintedAtActivity = ~uint64_t(0);

    // Called by the host.
    void UserClosed();
    void HostMoved();
    void HostActivated();
    // Returns whether the key was used.
    bool HostKey(int key);

private:
    void CheckMoved();

    Window& m_owner;
    QPointer<HostWindow> m_host;
    QPointer<ContentWidget> m_content;
    QSize m_size { 100, 100 };
    bool m_positionSet = false;
    // Where the content area was placed or last reported, so Moved is
    // raised only for a position the program has not seen yet.
    QPoint m_lastReported;
    bool m_shownOnce = false;
    bool m_moveCheckQueued = false;
    QPoint m_mouse;
    std::weak_ptr<PushButton> m_defaultButton;
    std::weak_ptr<PushButton> m_cancelButton;
};

// The window a widget belongs to, or nullptr for widgets of other windows.
WindowImpl* WindowImplOf(QWidget* widget);

// The open windows, front first (also for windows still being built).
void RegisterOpenWindow(const std::shared_ptr<Window>& window);
void UnregisterOpenWindow(const Window& window);
void BringToFront(const Window& window);
// Closes every open window without raising its events (tests).
void DiscardAllWindows();

} // namespace fw
