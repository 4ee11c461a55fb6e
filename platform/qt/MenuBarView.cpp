#include "platform/qt/MenuBarView.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QTimer>

#include <vector>

#include "platform/MenuItem.h"
#include "platform/Window.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

namespace {

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool IsSeparator(const MenuItem& item)
{
    return item.Text() == "-";
}

QKeySequence KeyOf(const MenuItem& item)
{
    if (IsSeparator(item))
        return {};
    const std::string portable = PortableShortcut(item.KeyboardShortcut());
    return portable.empty() ? QKeySequence() : QKeySequence(ToQt(portable), QKeySequence::PortableText);
}

// One window's Qt view of a menu-bar model. The model may be shown by several
// windows; each has its own view, and every view follows the model's
// Revision when a menu is about to open or a shortcut is about to fire.
class MenuBarView : public QObject {
public:
    MenuBarView(QMainWindow* host, std::shared_ptr<MenuBar> model, std::weak_ptr<Window> window);
    ~MenuBarView() override;

    QMenuBar* Bar() const { return m_bar; }
    void Sync();
    // Takes the view out of service at once (its shortcuts stop firing) and
    // deletes it once control is back in the event loop.
    void Retire();
    // Whether a shortcut of the view wants this key now (after the enabling
    // pass), so the focused control must not keep it to itself.
    bool WantsKey(const QKeySequence& key);

    static MenuBarView* Of(QWidget* host) { return Registry().value(host, nullptr); }

private:
    struct Node {
        std::weak_ptr<MenuItem> item;
        QAction* action = nullptr;
        QMenu* menu = nullptr;
        std::vector<Node> children;
    };

    static QHash<QWidget*, MenuBarView*>& Registry()
    {
        static QHash<QWidget*, MenuBarView*> registry;
        return registry;
    }

    void BuildChildren(Node& node, const MenuItem& model);
    void ClearChildren(Node& node);
    bool SameShape(const Node& node, const MenuItem& model) const;
    void SyncNode(Node& node);
    void Update(Node& node, bool topLevel);
    void RebuildShortcuts();
    void CollectShortcuts(const std::shared_ptr<MenuItem>& item);
    void AboutToShow();
    void Choose(const std::weak_ptr<MenuItem>& item);

    QPointer<QMainWindow> m_host;
    // The registry key, kept apart from m_host: while the host is being
    // destroyed it is no longer a QMainWindow, and m_host would cast it to one.
    QWidget* m_hostKey = nullptr;
    std::shared_ptr<MenuBar> m_model;
    std::weak_ptr<Window> m_window;
    QPointer<QMenuBar> m_bar;
    Node m_root;
    uint64_t m_syncedRevision = 0;
    bool m_synced = false;
    std::vector<QPointer<QShortcut>> m_shortcuts;
    std::vector<std::pair<QKeySequence, std::weak_ptr<MenuItem>>> m_keys;
};

// Text controls claim the standard editing keys for themselves before any
// shortcut is looked at. This filter lets an enabled menu item with that
// shortcut win instead, so a shortcut does exactly what choosing the item
// does (the item still has the control carry out the edit).
class ShortcutRouter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        MenuBarView* view = MenuBarView::Of(widget->window());
        if (!view)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence sequence(key->keyCombination());
        // Swallowing the override without accepting it lets the shortcut run.
        return view->WantsKey(sequence);
    }
};

void EnsureShortcutRouter()
{
    static QPointer<ShortcutRouter> router;
    if (!router && qApp) {
        router = new ShortcutRouter;
        router->setParent(qApp);
        qApp->installEventFilter(router);
    }
}

MenuBarView::MenuBarView(QMainWindow* host, std::shared_ptr<MenuBar> model, std::weak_ptr<Window> window)
    : QObject(host)
    , m_host(host)
    , m_hostKey(host)
    , m_model(std::move(model))
    , m_window(std::move(window))
{
    // Menus stay inside the window on every desktop, so each window shows
    // the bar of its own model. Said to the application before the bar is
    // made: a bar made without it first asks the desktop for a global menu
    // (on Linux a D-Bus session connection and a call, or an attempt to
    // launch a bus where none runs), only for that menu to be thrown away.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    m_bar = new QMenuBar(host);
    m_bar->setNativeMenuBar(false);
    host->setMenuBar(m_bar);
    m_root.item = m_model;
    Registry().insert(host, this);
    EnsureShortcutRouter();
    Sync();
}

MenuBarView::~MenuBarView()
{
    if (Registry().value(m_hostKey) == this)
        Registry().remove(m_hostKey);
    for (auto& shortcut : m_shortcuts)
        delete shortcut.data();
}

bool MenuBarView::SameShape(const Node& node, const MenuItem& model) const
{
    const auto& children = model.Children();
    if (children.size() != node.children.size())
        return false;
    for (size_t i = 0; i < children.size(); ++i) {
        const Node& child = node.children[i];
        if (child.item.lock() != children[i])
            return false;
        // An item that gained or lost its entries changes between a plain
        // action and a submenu; a separator likewise.
        const bool wantsMenu = &node == &m_root || !children[i]->Children().empty();
        if (wantsMenu != (child.menu != nullptr))
            return false;
        if (child.action && child.action->isSeparator() != IsSeparator(*children[i]))
            return false;
    }
    return true;
}

void MenuBarView::ClearChildren(Node& node)
{
    for (Node& child : node.children) {
        if (node.menu)
            node.menu->removeAction(child.action);
        else if (m_bar)
            m_bar->removeAction(child.action);
        // Later, not now: the menu being cleared may be the one whose signal
        // is running.
        if (child.menu)
            child.menu->deleteLater();
        else if (child.action)
            child.action->deleteLater();
    }
    node.children.clear();
}

void MenuBarView::BuildChildren(Node& node, const MenuItem& model)
{
    const bool topLevel = &node == &m_root;
    QWidget* container = topLevel ? static_cast<QWidget*>(m_bar.data()) : node.menu;
    for (const auto& item : model.Children()) {
        Node child;
        child.item = item;
        if (topLevel || !item->Children().empty()) {
            child.menu = new QMenu(container);
            child.action = child.menu->menuAction();
            connect(child.menu, &QMenu::aboutToShow, this, &MenuBarView::AboutToShow);
            BuildChildren(child, *item);
        } else {
            child.action = new QAction(container);
            if (IsSeparator(*item)) {
                child.action->setSeparator(true);
            } else {
                std::weak_ptr<MenuItem> weak = item;
                connect(child.action, &QAction::triggered, this, [this, weak] { Choose(weak); });
            }
        }
        container->addAction(child.action);
        node.children.push_back(std::move(child));
        Update(node.children.back(), topLevel);
    }
}

void MenuBarView::Update(Node& node, bool topLevel)
{
    auto item = node.item.lock();
    if (!item || !node.action)
        return;
    if (!node.action->isSeparator()) {
        QString text = ToQt(item->Text());
        // The shortcut is shown in the menu's shortcut column only; the view's
        // own QShortcut objects fire it, so that a disabled item can be
        // enabled by the enabling pass just before its shortcut runs.
        const QKeySequence key = topLevel ? QKeySequence() : KeyOf(*item);
        if (!key.isEmpty())
            text += QLatin1Char('\t') + key.toString(QKeySequence::NativeText);
        if (node.menu)
            node.menu->setTitle(text);
        else
            node.action->setText(text);
    }
    node.action->setEnabled(item->Enabled());
    node.action->setVisible(item->Visible());
}

void MenuBarView::SyncNode(Node& node)
{
    auto model = node.item.lock();
    if (!model)
        return;
    if (!SameShape(node, *model)) {
        ClearChildren(node);
        BuildChildren(node, *model);
        return;
    }
    const bool topLevel = &node == &m_root;
    for (Node& child : node.children) {
        Update(child, topLevel);
        if (child.menu)
            SyncNode(child);
    }
}

void MenuBarView::Sync()
{
    if (!m_bar || !m_model)
        return;
    if (m_synced && m_model->Revision() == m_syncedRevision)
        return;
    SyncNode(m_root);
    RebuildShortcuts();
    m_syncedRevision = m_model->Revision();
    m_synced = true;
}

void MenuBarView::CollectShortcuts(const std::shared_ptr<MenuItem>& item)
{
    for (const auto& child : item->Children()) {
        const QKeySequence key = KeyOf(*child);
        if (!key.isEmpty())
            m_keys.emplace_back(key, child);
        CollectShortcuts(child);
    }
}

void MenuBarView::RebuildShortcuts()
{
    std::vector<std::pair<QKeySequence, std::weak_ptr<MenuItem>>> old;
    old.swap(m_keys);
    CollectShortcuts(m_model);
    const bool same = old.size() == m_keys.size()
        && std::equal(old.begin(), old.end(), m_keys.begin(), [](const auto& a, const auto& b) {
               return a.first == b.first && a.second.lock() == b.second.lock();
           });
    if (same || !m_host)
        return;
    for (auto& shortcut : m_shortcuts) {
        if (shortcut)
            shortcut->deleteLater();
    }
    m_shortcuts.clear();
    for (const auto& [key, weak] : m_keys) {
        // A second item with the same keys would make Qt call the shortcut
        // ambiguous and run neither; the first item keeps it.
        bool taken = false;
        for (const auto& shortcut : m_shortcuts)
            taken = taken || shortcut->key() == key;
        if (taken)
            continue;
        auto* shortcut = new QShortcut(key, m_host, nullptr, nullptr, Qt::WindowShortcut);
        std::weak_ptr<MenuItem> target = weak;
        connect(shortcut, &QShortcut::activated, this, [this, target] { Choose(target); });
        m_shortcuts.emplace_back(shortcut);
    }
}

bool MenuBarView::WantsKey(const QKeySequence& key)
{
    if (!m_model)
        return false;
    Sync();
    for (const auto& [sequence, weak] : m_keys) {
        if (sequence != key)
            continue;
        auto item = weak.lock();
        if (!item)
            return false;
        RunMenuEnablingFor(m_window.lock(), nullptr);
        return item->Enabled() && item->Visible();
    }
    return false;
}

void MenuBarView::AboutToShow()
{
    if (!m_model)
        return;
    RunMenuEnablingFor(m_window.lock(), nullptr);
    Sync();
}

void MenuBarView::Choose(const std::weak_ptr<MenuItem>& weak)
{
    // The choice runs once the menu has closed and the key event is over, so
    // a handler may open a modal dialog or close this very window.
    QTimer::singleShot(0, this, [this, weak] {
        auto item = weak.lock();
        if (!item || !m_model)
            return;
        auto window = m_window.lock();
        // The handler may give the window another bar, which retires this view.
        QPointer<MenuBarView> self = this;
        ChooseMenuItemFor(item, window && window->IsOpen() ? window : nullptr);
        if (self)
            self->Sync();
    });
}

void MenuBarView::Retire()
{
    if (Registry().value(m_hostKey) == this)
        Registry().remove(m_hostKey);
    for (auto& shortcut : m_shortcuts) {
        if (shortcut) {
            shortcut->setEnabled(false);
            shortcut->deleteLater();
        }
    }
    m_shortcuts.clear();
    m_keys.clear();
    m_model.reset();
    deleteLater();
}

} // namespace

std::string PortableShortcut(const std::string& shortcut)
{
    const QString text = ToQt(shortcut).trimmed();
    if (text.isEmpty())
        return "";
    // "Cmd++" names the plus key: split at "+" but keep a trailing one.
    QStringList parts = text.split(QLatin1Char('+'));
    QString key = parts.takeLast();
    if (key.isEmpty() && !parts.isEmpty() && parts.last().isEmpty()) {
        parts.removeLast();
        key = QStringLiteral("+");
    }
    if (key.isEmpty())
        return "";
    QStringList modifiers;
    for (const QString& part : parts) {
        const QString m = part.trimmed().toLower();
        QString mapped;
        if (m == "cmd" || m == "command")
            mapped = "Ctrl";
        else if (m == "ctrl" || m == "control")
            mapped = "Meta";
        else if (m == "option" || m == "opt" || m == "alt")
            mapped = "Alt";
        else if (m == "shift")
            mapped = "Shift";
        else
            return "";
        if (!modifiers.contains(mapped))
            modifiers << mapped;
    }
    // Qt's portable order, so equal shortcuts give equal texts.
    static const QStringList order { "Meta", "Ctrl", "Alt", "Shift" };
    QStringList sorted;
    for (const QString& m : order) {
        if (modifiers.contains(m))
            sorted << m;
    }
    key = key.trimmed();
    if (key.size() == 1)
        key = key.toUpper();
    sorted << key;
    const QString portable = sorted.join(QLatin1Char('+'));
    const QKeySequence sequence(portable, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return "";
    return sequence.toString(QKeySequence::PortableText).toStdString();
}

void InstallMenuBarView(QMainWindow* host, const std::shared_ptr<MenuBar>& bar, Window& window)
{
    if (!host)
        return;
    if (MenuBarView* old = MenuBarView::Of(host))
        old->Retire();
    if (!bar) {
        // Qt hides the old bar and deletes it later.
        host->setMenuWidget(nullptr);
        return;
    }
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(window.shared_from_this());
    new MenuBarView(host, bar, weak);
}

QMenuBar* MenuBarViewOf(Window& window)
{
    QMainWindow* host = window.Impl().TopLevel();
    MenuBarView* view = host ? MenuBarView::Of(host) : nullptr;
    if (!view)
        return nullptr;
    view->Sync();
    return view->Bar();
}

} // namespace fw
