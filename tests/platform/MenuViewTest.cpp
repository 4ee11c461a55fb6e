// Menu bars on real windows: one model shown by several windows, the enabling
// pass, and what choosing an item (by click or shortcut) runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTextEdit>

#include "platform/Application.h"
#include "platform/MenuItem.h"
#include "platform/Seams.h"
#include "platform/Window.h"
#include "platform/qt/MenuBarView.h"
#include "platform/qt/WindowImpl.h"

namespace {

std::shared_ptr<fw::MenuItem> Add(const std::shared_ptr<fw::MenuItem>& menu, std::shared_ptr<fw::MenuItem> item,
    const std::string& name, const std::string& text, const char* shortcut)
{
    item->SetName(name);
    item->SetAutoEnable(true);
    item->SetText(text);
    item->SetVisible(true);
    if (shortcut)
        item->SetKeyboardShortcut(shortcut);
    menu->Append(item);
    return item;
}

std::shared_ptr<fw::MenuItem> Add(const std::shared_ptr<fw::MenuItem>& menu, const std::string& name,
    const std::string& text, const char* shortcut)
{
    return Add(menu, std::make_shared<fw::MenuItem>(), name, text, shortcut);
}

// A bar shaped like the game's: File, Edit, Help.
std::shared_ptr<fw::MenuBar> GameLikeBar()
{
    auto bar = std::make_shared<fw::MenuBar>();
    auto file = Add(bar, "FileMenu", "&File", "");
    Add(file, "FilePrintHelp", "Print Help", "Cmd+P");
    Add(file, "UntitledSeparator", "-", nullptr);
    Add(file, std::make_shared<fw::QuitMenuItem>(), "FileQuit", "&Quit", "Cmd+Q");
    auto edit = Add(bar, "EditMenu", "&Edit", "");
    Add(edit, "EditUndo", "&Undo", "Cmd+Z");
    Add(edit, "UntitledMenu1", "-", nullptr);
    Add(edit, "EditCut", "Cu&t", "Cmd+X");
    Add(edit, "EditCopy", "&Copy", "Cmd+C");
    Add(edit, "EditPaste", "&Paste", "Cmd+V");
    Add(edit, "EditClear", "&Delete", "");
    Add(edit, "UntitledMenu0", "-", nullptr);
    Add(edit, "EditSelectAll", "Select &All", "Cmd+A");
    auto help = Add(bar, "HelpMenu", "Help ", "");
    Add(help, "HelpShowHelp", "Show Help", "");
    Add(help, std::make_shared<fw::AppleMenuItem>(), "HelpAboutBox", "About...", "");
    return bar;
}

class MenuWindow : public fw::Window {
public:
    MenuWindow(std::string className, std::shared_ptr<fw::MenuBar> bar)
        : m_className(std::move(className))
        , m_bar(std::move(bar))
    {
    }
    std::string ClassName() const override { return m_className; }

    int enableCount = 0;
    int closeCount = 0;
    std::function<void()> onEnable;

protected:
    void Layout() override { SetMenuBar(m_bar); }
    void Event_EnableMenuItems() override
    {
        ++enableCount;
        if (onEnable)
            onEnable();
    }
    void Event_Close() override { ++closeCount; }

private:
    std::string m_className;
    std::shared_ptr<fw::MenuBar> m_bar;
};

class MenuApp : public fw::Application {
public:
    int enableCount = 0;
    std::function<void()> onEnable;
    void Event_EnableMenuItems() override
    {
        ++enableCount;
        if (onEnable)
            onEnable();
    }
};

class MenuViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
        app = std::make_shared<MenuApp>();
        fw::RuntimeRegisterAppObject(app);
        bar = GameLikeBar();
    }
    void TearDown() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
    }

    std::shared_ptr<MenuWindow> Open(const std::string& className)
    {
        auto window = std::make_shared<MenuWindow>(className, bar);
        window->Constructor();
        window->Show();
        QApplication::processEvents();
        return window;
    }

    static void Run() { QApplication::processEvents(); }

    std::shared_ptr<fw::MenuItem> Item(const std::string& name) { return bar->Lookup(name); }

    std::shared_ptr<MenuApp> app;
    std::shared_ptr<fw::MenuBar> bar;
};

QStringList Texts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QMenu* MenuTitled(QMenuBar* bar, const QString& title)
{
    for (QAction* action : bar->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

QShortcut* ShortcutFor(fw::Window& window, const QString& keys)
{
    for (QShortcut* shortcut : window.Impl().TopLevel()->findChildren<QShortcut*>()) {
        if (shortcut->key() == QKeySequence(keys) && shortcut->isEnabled())
            return shortcut;
    }
    return nullptr;
}

TEST_F(MenuViewTest, EachWindowShowsItsOwnViewOfOneModel)
{
    auto first = Open("MenuTestFirst");
    auto second = Open("MenuTestSecond");
    QMenuBar* one = fw::MenuBarViewOf(*first);
    QMenuBar* two = fw::MenuBarViewOf(*second);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_NE(one, two);

    for (QMenuBar* view : { one, two }) {
        EXPECT_EQ(Texts(view->actions()), QStringList({ "&File", "&Edit", "Help " }));
        QMenu* file = MenuTitled(view, "&File");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(Texts(file->actions()), QStringList({ "Print Help\tCtrl+P", "-", "&Quit\tCtrl+Q" }));
        QMenu* edit = MenuTitled(view, "&Edit");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(Texts(edit->actions()),
            QStringList({ "&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete", "-",
                "Select &All\tCtrl+A" }));
        // The AppleMenuItem stays where it was appended.
        EXPECT_EQ(Texts(MenuTitled(view, "Help ")->actions()), QStringList({ "Show Help", "About..." }));
    }
    // Each window carries the shortcuts for its own view; an empty shortcut
    // makes none.
    for (auto& window : { first, second }) {
        for (const char* keys : { "Ctrl+P", "Ctrl+Q", "Ctrl+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+A" })
            EXPECT_NE(ShortcutFor(*window, keys), nullptr) << keys;
        EXPECT_EQ(window->Impl().TopLevel()->findChildren<QShortcut*>().size(), 7);
    }
}

TEST_F(MenuViewTest, ViewsFollowTheModelWhenAMenuIsAboutToShow)
{
    auto first = Open("MenuTestFirst");
    auto second = Open("MenuTestSecond");
    Item("HelpShowHelp")->SetText("Show &Help");
    Item("EditClear")->SetVisible(false);
    Add(bar->Child("HelpMenu"), "HelpExtra", "Extra", "Cmd+Shift+E");

    QMenu* help = MenuTitled(first->Impl().TopLevel()->menuBar(), "Help ");
    ASSERT_NE(help, nullptr);
    emit help->aboutToShow();
    EXPECT_EQ(Texts(help->actions()), QStringList({ "Show &Help", "About...", "Extra\tCtrl+Shift+E" }));
    EXPECT_NE(ShortcutFor(*first, "Ctrl+Shift+E"), nullptr);

    QMenu* edit = MenuTitled(fw::MenuBarViewOf(*second), "&Edit");
    ASSERT_NE(edit, nullptr);
    for (QAction* action : edit->actions()) {
        if (action->text() == "&Delete") {
            EXPECT_FALSE(action->isVisible());
        }
    }
}

TEST_F(MenuViewTest, AutoEnableFollowsHandlersQuitAndTopMenus)
{
    auto window = Open("MenuTestFirst");
    auto quit = Item("FileQuit");
    quit->SetAutoEnable(false);
    quit->SetEnabled(false);
    auto showHelp = Item("HelpShowHelp");
    showHelp->SetAutoEnable(false);
    showHelp->SetEnabled(false);
    app->AddMenuHandler("HelpAboutBox", [] { return true; });
    window->AddMenuHandler("FilePrintHelp", [] { return true; });

    fw::RunMenuEnabling();
    EXPECT_TRUE(quit->Enabled());
    EXPECT_TRUE(Item("FilePrintHelp")->Enabled()); // the front window's handler
    EXPECT_TRUE(Item("HelpAboutBox")->Enabled()); // the application's handler
    EXPECT_FALSE(Item("EditCopy")->Enabled()); // no handler, no text control
    EXPECT_FALSE(showHelp->Enabled()); // not AutoEnable: left as the program set it
    for (const char* menu : { "FileMenu", "EditMenu", "HelpMenu" })
        EXPECT_TRUE(Item(menu)->Enabled()) << menu;

    // The same model behind another window in front: that window has no
    // handler for Print Help, so the item goes grey there.
    auto other = Open("MenuTestSecond");
    ASSERT_EQ(fw::OpenWindows().front(), other);
    fw::RunMenuEnabling();
    EXPECT_FALSE(Item("FilePrintHelp")->Enabled());
    EXPECT_TRUE(Item("HelpAboutBox")->Enabled());

    // The view shows the model's states once its menu opens.
    QMenu* file = MenuTitled(fw::MenuBarViewOf(*other), "&File");
    emit file->aboutToShow();
    EXPECT_FALSE(file->actions().at(0)->isEnabled());
    EXPECT_TRUE(file->actions().at(2)->isEnabled());
}

TEST_F(MenuViewTest, EnableMenuItemsEventsRunAfterAutoEnable)
{
    auto window = Open("MenuTestFirst");
    std::vector<std::string> order;
    // App's event turns on an item that AutoEnable just turned off, as the
    // game does for its help items; the window's event comes after it.
    app->onEnable = [&] {
        order.push_back("app");
        EXPECT_FALSE(Item("HelpShowHelp")->Enabled());
        Item("HelpShowHelp")->SetEnabled(true);
    };
    window->onEnable = [&] { order.push_back("window"); };
    fw::RunMenuEnabling();
    EXPECT_EQ(order, (std::vector<std::string> { "app", "window" }));
    EXPECT_TRUE(Item("HelpShowHelp")->Enabled());
    EXPECT_EQ(app->enableCount, 1);
    EXPECT_EQ(window->enableCount, 1);

    // Opening a menu runs the pass too.
    emit MenuTitled(fw::MenuBarViewOf(*window), "Help ")->aboutToShow();
    EXPECT_EQ(app->enableCount, 2);
    EXPECT_EQ(window->enableCount, 2);
}

TEST_F(MenuViewTest, ChoicesGoToTheFrontWindowThenTheApplication)
{
    auto window = Open("MenuTestFirst");
    std::vector<std::string> calls;
    app->AddMenuHandler("HelpShowHelp", [&] { calls.push_back("app show"); return true; });
    app->AddMenuHandler("FilePrintHelp", [&] { calls.push_back("app print"); return true; });
    app->AddMenuHandler("HelpAboutBox", [&] { calls.push_back("app about"); return true; });
    window->AddMenuHandler("FilePrintHelp", [&] { calls.push_back("window print"); return true; });
    window->AddMenuHandler("HelpAboutBox", [&] { calls.push_back("window about"); return false; });

    EXPECT_TRUE(fw::ChooseMenuItem(Item("FilePrintHelp")));
    EXPECT_TRUE(fw::ChooseMenuItem(Item("HelpShowHelp")));
    // A window handler that reports "not handled" passes the choice on.
    EXPECT_TRUE(fw::ChooseMenuItem(Item("HelpAboutBox")));
    EXPECT_EQ(calls, (std::vector<std::string> { "window print", "app show", "window about", "app about" }));

    // Nothing handles Undo here.
    EXPECT_FALSE(fw::ChooseMenuItem(Item("EditUndo")));
}

TEST_F(MenuViewTest, ADisabledOrHiddenItemDoesNothing)
{
    auto window = Open("MenuTestFirst");
    int calls = 0;
    app->AddMenuHandler("HelpShowHelp", [&] { ++calls; return true; });
    auto item = Item("HelpShowHelp");
    item->SetAutoEnable(false);
    item->SetEnabled(false);
    EXPECT_FALSE(fw::ChooseMenuItem(item));
    item->SetEnabled(true);
    item->SetVisible(false);
    EXPECT_FALSE(fw::ChooseMenuItem(item));
    EXPECT_EQ(calls, 0);
    // The application's EnableMenuItems may enable it just in time.
    item->SetVisible(true);
    item->SetEnabled(false);
    app->onEnable = [&] { item->SetEnabled(true); };
    EXPECT_TRUE(fw::ChooseMenuItem(item));
    EXPECT_EQ(calls, 1);
}

TEST_F(MenuViewTest, QuitClosesEveryWindowThenQuits)
{
    auto first = Open("MenuTestFirst");
    auto second = Open("MenuTestSecond");
    EXPECT_TRUE(fw::ChooseMenuItem(Item("FileQuit")));
    EXPECT_EQ(first->closeCount, 1);
    EXPECT_EQ(second->closeCount, 1);
    EXPECT_TRUE(fw::OpenWindows().empty());
    EXPECT_TRUE(fw::QuitRequested());
    EXPECT_EQ(fw::QuitCode(), 0);
}

TEST_F(MenuViewTest, AHandlerMayCloseItsOwnWindow)
{
    auto window = Open("MenuTestFirst");
    std::weak_ptr<MenuWindow> weak = window;
    window->AddMenuHandler("FilePrintHelp", [weak] {
        if (auto self = weak.lock())
            self->Close();
        return true;
    });
    QShortcut* print = ShortcutFor(*window, "Ctrl+P");
    ASSERT_NE(print, nullptr);
    window.reset();
    emit print->activated();
    Run();
    Run();
    EXPECT_TRUE(fw::OpenWindows().empty());
    EXPECT_EQ(weak.lock(), nullptr);
}

TEST_F(MenuViewTest, ShortcutsRunTheEnablingPassAndTheirOwnWindowsHandler)
{
    auto first = Open("MenuTestFirst");
    auto second = Open("MenuTestSecond");
    std::vector<std::string> calls;
    first->AddMenuHandler("FilePrintHelp", [&] { calls.push_back("first"); return true; });
    second->AddMenuHandler("FilePrintHelp", [&] { calls.push_back("second"); return true; });
    // Greyed by an earlier pass; the pass before the shortcut enables it.
    Item("FilePrintHelp")->SetEnabled(false);

    QShortcut* firstPrint = ShortcutFor(*first, "Ctrl+P");
    ASSERT_NE(firstPrint, nullptr);
    emit firstPrint->activated();
    Run();
    EXPECT_EQ(calls, std::vector<std::string> { "first" });
    EXPECT_EQ(app->enableCount, 1);

    emit ShortcutFor(*second, "Ctrl+P")->activated();
    Run();
    EXPECT_EQ(calls, (std::vector<std::string> { "first", "second" }));
}

TEST_F(MenuViewTest, EditCommandsWorkOnTheFocusedTextControl)
{
    auto window = Open("MenuTestFirst");
    auto* edit = new QLineEdit(window->Impl().Content());
    edit->setText("hello world");
    edit->show();
    edit->setFocus();
    Run();
    ASSERT_EQ(window->Impl().TopLevel()->focusWidget(), edit);
    int copies = 0;
    window->AddMenuHandler("EditCopy", [&] { ++copies; return true; });

    // Without a selection there is nothing to cut or delete; Copy stays on
    // through the window's handler.
    edit->deselect();
    fw::RunMenuEnabling();
    EXPECT_FALSE(Item("EditCut")->Enabled());
    EXPECT_FALSE(Item("EditClear")->Enabled());
    EXPECT_TRUE(Item("EditSelectAll")->Enabled());
    EXPECT_TRUE(Item("EditCopy")->Enabled());

    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditSelectAll")));
    EXPECT_EQ(edit->selectedText(), "hello world");
    // The control copies and the window's handler still hears of it.
    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditCopy")));
    EXPECT_EQ(QApplication::clipboard()->text(), "hello world");
    EXPECT_EQ(copies, 1);
    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditCut")));
    EXPECT_EQ(edit->text(), "");
    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditPaste")));
    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditPaste")));
    EXPECT_EQ(edit->text(), "hello worldhello world");
    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditUndo")));
    EXPECT_EQ(edit->text(), "hello world");
    edit->setSelection(0, 6);
    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditClear")));
    EXPECT_EQ(edit->text(), "world");

    // A read-only text area copies but does not cut or paste.
    auto* area = new QTextEdit(window->Impl().Content());
    area->setPlainText("fixed text");
    area->setReadOnly(true);
    area->show();
    area->setFocus();
    Run();
    area->selectAll();
    fw::RunMenuEnabling();
    EXPECT_FALSE(Item("EditCut")->Enabled());
    EXPECT_FALSE(Item("EditPaste")->Enabled());
    EXPECT_TRUE(fw::ChooseMenuItem(Item("EditCopy")));
    EXPECT_EQ(QApplication::clipboard()->text(), "fixed text");
    EXPECT_FALSE(fw::ChooseMenuItem(Item("EditCut")));
    EXPECT_EQ(area->toPlainText(), "fixed text");
}

TEST_F(MenuViewTest, AnotherBarOrNoneReplacesTheView)
{
    auto window = Open("MenuTestFirst");
    auto other = std::make_shared<fw::MenuBar>();
    Add(other, "OnlyMenu", "&Only", "");
    window->SetMenuBar(other);
    Run();
    QMenuBar* view = fw::MenuBarViewOf(*window);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Texts(view->actions()), QStringList({ "&Only" }));
    EXPECT_EQ(ShortcutFor(*window, "Ctrl+P"), nullptr);
    window->SetMenuBar(nullptr);
    Run();
    EXPECT_EQ(fw::MenuBarViewOf(*window), nullptr);
}

} // namespace

// Qt's own entry for delivering a key press the way the window system does,
// shortcut matching included.
Q_WIDGETS_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
    const QString& text = QString(), bool autorep = false, ushort count = 1);

namespace {

TEST_F(MenuViewTest, AMenuShortcutWinsOverTheTextControlsOwnKey)
{
    auto window = Open("MenuTestFirst");
    QMainWindow* host = window->Impl().TopLevel();
    host->activateWindow();
    auto* edit = new QLineEdit(window->Impl().Content());
    edit->setText("typed");
    edit->show();
    edit->setFocus();
    edit->selectAll();
    Run();
    if (QApplication::activeWindow() != host)
        GTEST_SKIP() << "the platform does not activate windows";
    int copies = 0;
    window->AddMenuHandler("EditCopy", [&] { ++copies; return true; });
    QApplication::clipboard()->clear();

    // Without the menu the line edit would copy on its own and the window's
    // handler would never hear of it.
    EXPECT_TRUE(qt_sendShortcutOverrideEvent(edit, 0, Qt::Key_C, Qt::ControlModifier, "c"));
    Run();
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), "typed");

    // A key whose item is disabled stays with the control.
    Item("EditUndo")->SetAutoEnable(false);
    Item("EditUndo")->SetEnabled(false);
    EXPECT_FALSE(qt_sendShortcutOverrideEvent(edit, 0, Qt::Key_Z, Qt::ControlModifier, "z"));
}

} // namespace
