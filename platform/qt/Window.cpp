#include "platform/Window.h"

#include <algorithm>
#include <set>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "platform/Control.h"
#include "platform/MenuItem.h"
#include "platform/PushButton.h"
#include "platform/RectControl.h"
#include "platform/qt/MenuBarView.h"
#include "platform/qt/RectControlImpl.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

namespace {

// Every open window, front first. The framework's references keep windows
// alive while they are open: the program holds none of its own. The list is
// never destroyed: a process that ends through exit() with windows open
// (Qt calls it when the X server goes away) would otherwise take them down
// in the exit handlers, after Qt's own state is gone. The framework's exit
// step closes them while Qt is up; at exit they are left to the system.
std::vector<std::shared_ptr<Window>>& OpenList()
{
    static auto* list = new std::vector<std::shared_ptr<Window>>;
    return *list;
}

} // namespace

int ClampPosition(int64_t value)
{
    return int(std::clamp(value, -kPositionLimit, kPositionLimit));
}

void RegisterOpenWindow(const std::shared_ptr<Window>& window)
{
    auto& list = OpenList();
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
    list.insert(list.begin(), window);
}

void UnregisterOpenWindow(const Window& window)
{
    auto& list = OpenList();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& w) { return w.get() == &window; }), list.end());
}

void BringToFront(const Window& window)
{
    auto& list = OpenList();
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& w) { return w.get() == &window; });
    if (it == list.end() || it == list.begin())
        return;
    auto held = *it;
    list.erase(it);
    list.insert(list.begin(), held);
}

std::shared_ptr<Window> RuntimeGetImplicitWindow(const std::string& fullClassName)
{
    for (const auto& window : OpenList()) {
        if (window->ClassName() == fullClassName)
            return window;
    }
    return nullptr;
}

std::vector<std::shared_ptr<Window>> OpenWindows()
{
    return OpenList();
}

// ---------------------------------------------------------------------------
// Qt side

ContentWidget::ContentWidget(WindowImpl& impl)
    : m_impl(impl)
{
}

void ContentWidget::paintEvent(QPaintEvent*)
{
    Window& owner = m_impl.Owner();
    if (!owner.HasBackColor())
        return;
    QPainter painter(this);
    Color c = owner.BackColor();
    painter.fillRect(rect(), QColor(c.Red, c.Green, c.Blue));
}

HostWindow::HostWindow(WindowImpl* impl)
    : m_impl(impl)
{
}

void HostWindow::closeEvent(QCloseEvent* event)
{
    // The close box goes through the framework's Close, which hides and
    // deletes this widget itself.
    event->ignore();
    if (m_impl)
        m_impl->UserClosed();
}

void HostWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (m_impl)
        m_impl->HostMoved();
}

void HostWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_impl)
        m_impl->HostActivated();
}

void HostWindow::keyPressEvent(QKeyEvent* event)
{
    // Keys reach the window when no control used them: Return and Enter press
    // the default button, Escape the cancel button.
    if (m_impl && event->modifiers() == Qt::NoModifier && m_impl->HostKey(event->key())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

WindowImpl* WindowImplOf(QWidget* widget)
{
    if (!widget)
        return nullptr;
    auto* host = dynamic_cast<HostWindow*>(widget->window());
    return host ? host->Impl() : nullptr;
}

WindowImpl::WindowImpl(Window& owner)
    : m_owner(owner)
{
    if (!QGuiApplication::instance())
        throw RuntimeException("RuntimeException", "a window needs the framework's run time (RuntimeInit)");
    m_host = new HostWindow(this);
    m_host->setAttribute(Qt::WA_DeleteOnClose, false);
    m_content = new ContentWidget(*this);
    m_content->setFixedSize(m_size);
    m_host->setCentralWidget(m_content);
    // The content area has a fixed size; the window follows it (and the menu
    // bar, when shown), so the user cannot resize it.
    m_host->layout()->setSizeConstraint(QLayout::SetFixedSize);
    ApplyFlags();
    Centre();
}

WindowImpl::~WindowImpl()
{
    if (m_host) {
        m_host->Detach();
        m_host->hide();
        // Deleted later: this may run inside one of the host's own events.
        m_host->deleteLater();
    }
}

QPoint WindowImpl::ContentPosition() const
{
    if (!m_host || !m_content)
        return m_lastReported;
    return m_content->mapToGlobal(QPoint(0, 0));
}

void WindowImpl::MoveContentTo(QPoint position)
{
    m_positionSet = true;
    if (!m_host || !m_content)
        return;
    m_host->layout()->activate();
    QPoint offset = m_content->mapTo(m_host, QPoint(0, 0));
    // Worked out in 64 bits and clamped: the position may be anything a
    // settings file held.
    QPoint topLeft(ClampPosition(int64_t(position.x()) - offset.x()), ClampPosition(int64_t(position.y()) - offset.y()));
    QRect frame = m_host->geometry();
    frame.moveTopLeft(topLeft);
    m_host->setGeometry(frame);
}

bool WindowImpl::ContentOnAScreen() const
{
    const QPoint position = ContentPosition();
    const int64_t left = position.x();
    const int64_t top = position.y();
    const int64_t right = left + std::max(m_size.width(), 1);
    const int64_t bottom = top + std::max(m_size.height(), 1);
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        if (left < int64_t(area.x()) + area.width() && right > area.x() && top < int64_t(area.y()) + area.height()
            && bottom > area.y())
            return true;
    }
    return false;
}

void WindowImpl::SetContentSize(int width, int height)
{
    m_size = QSize(std::max(width, 0), std::max(height, 0));
    if (!m_content)
        return;
    m_content->setFixedSize(m_size);
    m_host->layout()->activate();
    m_host->adjustSize();
    if (!m_positionSet)
        Centre();
    UpdateFocusReach();
}

void WindowImpl::Centre()
{
    if (!m_host)
        return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    m_host->layout()->activate();
    QRect area = screen->availableGeometry();
    QSize whole = m_host->size();
    QPoint topLeft(area.x() + (area.width() - whole.width()) / 2, area.y() + (area.height() - whole.height()) / 2);
    QRect frame = m_host->geometry();
    frame.moveTopLeft(topLeft);
    m_host->setGeometry(frame);
}

void WindowImpl::ApplyFlags()
{
    if (!m_host)
        return;
    // Frame 1 is a small utility window that does not block the others;
    // every other frame is a document window.
    Qt::WindowFlags flags = m_owner.Frame() == 1 ? Qt::Tool : Qt::Window;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (m_owner.CloseButton())
        flags |= Qt::WindowCloseButtonHint;
    if (m_owner.MinimizeButton())
        flags |= Qt::WindowMinimizeButtonHint;
    if (m_owner.MaximizeButton() && m_owner.Resizeable())
        flags |= Qt::WindowMaximizeButtonHint;
    bool visible = m_host->isVisible();
    QPoint position = ContentPosition();
    m_host->setWindowFlags(flags);
    if (visible) {
        // Changing the flags hides a shown window; put it back where it was.
        m_host->show();
        MoveContentTo(position);
    }
}

void WindowImpl::ApplyBackground()
{
    if (m_content)
        m_content->update();
}

void WindowImpl::ApplyMenuBarVisibility()
{
    if (!m_host)
        return;
    QPoint position = ContentPosition();
    if (QMenuBar* bar = qobject_cast<QMenuBar*>(m_host->menuWidget()))
        bar->setVisible(m_owner.MenuBarVisible());
    m_host->layout()->activate();
    m_host->adjustSize();
    // Left and Top name the content area: showing or hiding the bar leaves
    // the content where it was.
    if (m_positionSet || m_shownOnce)
        MoveContentTo(position);
    else
        Centre();
}

void WindowImpl::Show()
{
    if (!m_host)
        return;
    // A window that would open with no part on any screen could be neither
    // seen nor reached: it opens centred, as on a first run, and reports the
    // move so the program keeps the new place.
    bool recentred = false;
    QPoint placed;
    if (!m_shownOnce && !m_positionSet) {
        Centre();
    } else if (!m_shownOnce && !ContentOnAScreen() && !QGuiApplication::screens().isEmpty()) {
        placed = ContentPosition();
        Centre();
        recentred = true;
    }
    m_host->show();
    RaiseHost();
    m_host->activateWindow();
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_lastReported = recentred ? placed : ContentPosition();
        if (recentred)
            HostMoved();
    }
}

void WindowImpl::RaiseHost()
{
    // The headless platform cannot stack windows and says so on every call.
    static const bool canRaise = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (m_host && canRaise)
        m_host->raise();
}

void WindowImpl::Hide()
{
    if (m_host)
        m_host->hide();
}

void WindowImpl::Destroy()
{
    if (!m_host)
        return;
    m_lastReported = ContentPosition();
    m_host->Detach();
    m_host->hide();
    m_host->deleteLater();
    m_host = nullptr;
    m_content = nullptr;
}

void WindowImpl::SetDefaultButton(const std::shared_ptr<PushButton>& button)
{
    m_defaultButton = button;
}

void WindowImpl::SetCancelButton(const std::shared_ptr<PushButton>& button)
{
    m_cancelButton = button;
}

void WindowImpl::UserClosed()
{
    auto keep = m_owner.shared_from_this();
    m_owner.Close();
}

void WindowImpl::HostMoved()
{
    // The position is confirmed by the window system now; Moved is raised
    // once the code that moved the window has returned, for the position
    // then current.
    if (m_moveCheckQueued || !m_host)
        return;
    m_moveCheckQueued = true;
    std::weak_ptr<Object> weak = m_owner.weak_from_this();
    QTimer::singleShot(0, m_host, [this, weak] {
        auto keep = weak.lock();
        if (!keep)
            return;
        m_moveCheckQueued = false;
        CheckMoved();
    });
}

void WindowImpl::CheckMoved()
{
    if (!m_host || !m_shownOnce || !m_owner.IsOpen())
        return;
    QPoint now = ContentPosition();
    if (now == m_lastReported)
        return;
    m_lastReported = now;
    m_owner.RaiseMoved();
}

void WindowImpl::HostActivated()
{
    BringToFront(m_owner);
    FocusFirstControl();
}

namespace {

// The window's controls that have a widget, in tab order.
std::vector<RectControl*> InTabOrder(const Window& window)
{
    std::vector<RectControl*> controls;
    for (const auto& control : window.Controls()) {
        auto* rect = dynamic_cast<RectControl*>(control.get());
        if (rect && rect->Impl() && rect->Impl()->Widget())
            controls.push_back(rect);
    }
    std::stable_sort(controls.begin(), controls.end(),
        [](const RectControl* a, const RectControl* b) { return a->TabIndex() < b->TabIndex(); });
    return controls;
}

} // namespace

void WindowImpl::ApplyTabOrder()
{
    QWidget* previous = nullptr;
    for (RectControl* control : InTabOrder(m_owner)) {
        QWidget* widget = control->Impl()->Widget();
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void WindowImpl::FocusFirstControl()
{
    if (!m_host || !m_content)
        return;
    auto canTake = [this](QWidget* widget) {
        return widget && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled()
            && widget->isVisibleTo(m_host) && widget->geometry().intersects(m_content->rect());
    };
    // The focus a control had when the window was last active stays there.
    QWidget* current = m_host->focusWidget();
    if (current && current != m_host && current->focusPolicy() != Qt::NoFocus && current->isVisibleTo(m_host))
        return;
    for (RectControl* control : InTabOrder(m_owner)) {
        QWidget* widget = control->Impl()->Widget();
        if (canTake(widget)) {
            widget->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

void WindowImpl::UpdateFocusReach()
{
    for (const auto& control : m_owner.Controls()) {
        auto* rect = dynamic_cast<RectControl*>(control.get());
        if (rect && rect->Impl())
            rect->Impl()->UpdateFocusReach();
    }
}

bool WindowImpl::HostKey(int key)
{
    std::shared_ptr<PushButton> button;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        button = DefaultButton();
    else if (key == Qt::Key_Escape)
        button = CancelButton();
    if (!button || !button->Visible())
        return false;
    button->Push();
    return true;
}

void DiscardAllWindows()
{
    auto windows = OpenList();
    OpenList().clear();
    for (const auto& window : windows) {
        for (const auto& control : window->Controls())
            control->Closed();
        window->Impl().Destroy();
    }
}

// ---------------------------------------------------------------------------
// Window

Window::Window()
{
    // Built in the body: the Qt side reads the window's flags, which are
    // initialised only after the member list.
    m_impl = std::make_unique<WindowImpl>(*this);
}

Window::~Window() = default;

std::string Window::ShortClassName() const
{
    std::string name = ClassName();
    auto dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void Window::Constructor()
{
    if (m_constructed || m_constructing)
        return;
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    m_constructing = true;
    m_open = true;
    // The window counts as open from here: its own Open event reaches it
    // through the implicit-instance accessor.
    RegisterOpenWindow(self);
    try {
        Layout();
        CreateControls();
        AddMenuHandlers();
    } catch (...) {
        m_constructing = false;
        m_open = false;
        UnregisterOpenWindow(*this);
        m_impl->Destroy();
        throw;
    }
    m_constructing = false;
    m_constructed = true;
    // Stacking is put in order once, now that every control exists, rather
    // than again for each control as it is created.
    Restack();
    std::string shortName = ShortClassName();
    auto controls = m_controls;
    for (const auto& control : controls) {
        if (!m_open)
            break;
        DispatchEvent(control->HandlerName("Open"), [&] { control->Event_Open(); });
    }
    if (m_open)
        DispatchEvent(shortName + ".Event_Open", [&] { Event_Open(); });
    if (m_open && m_visible)
        Show();
}

int32_t Window::Left() const
{
    return m_impl->ContentPosition().x();
}

void Window::SetLeft(int32_t value)
{
    QPoint p = m_impl->ContentPosition();
    p.setX(value);
    m_impl->MoveContentTo(p);
}

int32_t Window::Top() const
{
    return m_impl->ContentPosition().y();
}

void Window::SetTop(int32_t value)
{
    QPoint p = m_impl->ContentPosition();
    p.setY(value);
    m_impl->MoveContentTo(p);
}

int32_t Window::Width() const
{
    return m_impl->ContentSize().width();
}

void Window::SetWidth(int32_t value)
{
    m_impl->SetContentSize(value, Height());
}

int32_t Window::Height() const
{
    return m_impl->ContentSize().height();
}

void Window::SetHeight(int32_t value)
{
    m_impl->SetContentSize(Width(), value);
}

std::string Window::Title() const
{
    QMainWindow* host = m_impl->TopLevel();
    return host ? FromQString(host->windowTitle()) : std::string();
}

void Window::SetTitle(const std::string& value)
{
    if (QMainWindow* host = m_impl->TopLevel())
        host->setWindowTitle(ToQString(value));
}

bool Window::Visible() const
{
    QMainWindow* host = m_impl->TopLevel();
    if (m_constructing || !host)
        return m_visible;
    return host->isVisible();
}

void Window::SetVisible(bool value)
{
    m_visible = value;
    if (m_constructing || !m_constructed)
        return;
    if (value)
        Show();
    else
        Hide();
}

bool Window::IsOpen() const
{
    return m_open;
}

void Window::SetFrame(int32_t value)
{
    m_frame = value;
    m_impl->ApplyFlags();
}

void Window::SetPlacement(int32_t value)
{
    // Every placement centres the window on the primary screen's available
    // area until the program places it.
    m_placement = value;
    if (!m_impl->PositionSet())
        m_impl->Centre();
}

void Window::SetResizeable(bool value)
{
    m_resizeable = value;
    m_impl->ApplyFlags();
}

void Window::SetCloseButton(bool value)
{
    m_closeButton = value;
    m_impl->ApplyFlags();
}

void Window::SetMinimizeButton(bool value)
{
    m_minimizeButton = value;
    m_impl->ApplyFlags();
}

void Window::SetMaximizeButton(bool value)
{
    m_maximizeButton = value;
    m_impl->ApplyFlags();
}

void Window::SetMenuBarVisible(bool value)
{
    m_menuBarVisible = value;
    m_impl->ApplyMenuBarVisibility();
}

void Window::SetHasBackColor(bool value)
{
    m_hasBackColor = value;
    m_impl->ApplyBackground();
}

void Window::SetBackColor(Color value)
{
    m_backColor = value;
    m_impl->ApplyBackground();
}

int32_t Window::MouseX() const
{
    return m_impl->Mouse().x();
}

int32_t Window::MouseY() const
{
    return m_impl->Mouse().y();
}

void Window::Show()
{
    if (!m_open)
        return;
    m_visible = true;
    m_impl->Show();
    BringToFront(*this);
}

void Window::Hide()
{
    m_visible = false;
    m_impl->Hide();
}

void Window::Close()
{
    if (!m_open || m_closing)
        return;
    // Held until Close returns, whoever else lets go meanwhile.
    auto self = shared_from_this();
    m_closing = true;
    DispatchEvent(ShortClassName() + ".Event_Close", [&] { Event_Close(); });
    for (const auto& control : m_controls)
        control->Closed();
    UnregisterOpenWindow(*this);
    m_open = false;
    m_visible = false;
    m_impl->Destroy();
    m_closing = false;
}

void Window::Refresh(bool)
{
    if (QMainWindow* host = m_impl->TopLevel())
        host->update();
    if (QWidget* content = m_impl->Content()) {
        for (QWidget* child : content->findChildren<QWidget*>())
            child->update();
    }
}

void Window::SetFocus()
{
    if (QMainWindow* host = m_impl->TopLevel()) {
        m_impl->RaiseHost();
        host->activateWindow();
        BringToFront(*this);
    }
}

void Window::RaiseEnableMenuItems()
{
    auto self = shared_from_this();
    DispatchEvent(ShortClassName() + ".Event_EnableMenuItems", [&] { Event_EnableMenuItems(); });
}

void Window::RaiseMoved()
{
    auto self = shared_from_this();
    DispatchEvent(ShortClassName() + ".Event_Moved", [&] { Event_Moved(); });
}

std::shared_ptr<MenuBar> Window::GetMenuBar() const
{
    return m_menuBar;
}

void Window::SetMenuBar(std::shared_ptr<MenuBar> bar)
{
    m_menuBar = bar;
    if (QMainWindow* host = m_impl->TopLevel()) {
        QPoint position = m_impl->ContentPosition();
        bool placed = m_impl->PositionSet();
        InstallMenuBarView(host, m_menuBar, *this);
        if (QWidget* view = host->menuWidget())
            view->setVisible(m_menuBarVisible);
        host->layout()->activate();
        host->adjustSize();
        if (placed)
            m_impl->MoveContentTo(position);
        else
            m_impl->Centre();
    }
}

std::shared_ptr<Control> Window::New(const std::string& className)
{
    auto object = NewObjectOfClass(className);
    auto control = std::dynamic_pointer_cast<Control>(object);
    if (!control)
        throw IllegalCastException("the class \"" + className + "\" is not a control class");
    Adopt(control);
    return control;
}

void Window::Adopt(const std::shared_ptr<Control>& control)
{
    if (!control)
        throw NilObjectException("nil control given to a window");
    if (std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end())
        return;
    m_controls.push_back(control);
    control->AttachToWindow(std::static_pointer_cast<Window>(shared_from_this()));
}

void Window::AddControl(const std::shared_ptr<Control>& control, const std::string& name)
{
    if (!control)
        throw NilObjectException("nil control given to AddControl");
    Adopt(control);
    control->SetName(name);
    m_byName.emplace(name, control);
    Restack();
}

std::shared_ptr<Control> Window::ControlByName(const std::string& name) const
{
    // Equal keys keep their insertion order, so this is the first control
    // registered under the name.
    auto range = m_byName.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        if (auto control = it->second.lock())
            return control;
    }
    return nullptr;
}

std::shared_ptr<Control> Window::ControlByNameIndex(const std::string& name, int32_t index) const
{
    auto range = m_byName.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        auto control = it->second.lock();
        if (control && control->Index() == index)
            return control;
    }
    return nullptr;
}

void Window::AddMenuHandler(const std::string& name, MenuHandler handler)
{
    m_menuHandlers[name] = std::move(handler);
}

const MenuHandler* Window::FindMenuHandler(const std::string& name) const
{
    auto it = m_menuHandlers.find(name);
    return it == m_menuHandlers.end() ? nullptr : &it->second;
}

void Window::Restack()
{
    // While the window is being built its controls are still arriving; the
    // end of construction restacks them all at once.
    if (m_constructing)
        return;
    // Top first: inside one parent, earlier controls lie above later ones,
    // and a control's children lie above the control itself. A parent is
    // named by InitialParent; an unknown name means the window itself.
    std::vector<RectControl*> placed;
    std::map<const RectControl*, std::vector<RectControl*>> children;
    std::vector<RectControl*> roots;
    for (const auto& control : m_controls) {
        auto* rect = dynamic_cast<RectControl*>(control.get());
        if (!rect || !rect->Impl() || !rect->Impl()->Widget())
            continue;
        RectControl* parent = nullptr;
        if (!rect->InitialParent().empty()) {
            auto found = ControlByName(rect->InitialParent());
            parent = dynamic_cast<RectControl*>(found.get());
            if (parent == rect || (parent && (!parent->Impl() || !parent->Impl()->Widget())))
                parent = nullptr;
        }
        if (parent)
            children[parent].push_back(rect);
        else
            roots.push_back(rect);
    }
    std::vector<RectControl*> topFirst;
    std::set<const RectControl*> visited;
    std::function<void(RectControl*)> visit = [&](RectControl* node) {
        if (!visited.insert(node).second)
            return;
        auto it = children.find(node);
        if (it != children.end()) {
            for (RectControl* child : it->second)
                visit(child);
        }
        topFirst.push_back(node);
    };
    for (RectControl* root : roots)
        visit(root);
    // Controls whose parents name each other in a circle are never reached
    // from a root; they go below everything else.
    for (const auto& control : m_controls) {
        auto* rect = dynamic_cast<RectControl*>(control.get());
        if (rect && rect->Impl() && rect->Impl()->Widget() && !visited.count(rect))
            visit(rect);
    }
    for (auto it = topFirst.rbegin(); it != topFirst.rend(); ++it)
        (*it)->Impl()->Widget()->raise();
    m_impl->ApplyTabOrder();
}

} // namespace fw
