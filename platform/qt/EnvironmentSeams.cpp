#include "platform/qt/EnvironmentSeams.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Seams.h"
#include "platform/Window.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

namespace {

const char* Variable(const char* name)
{
    const char* value = std::getenv(name);
    return (value && *value) ? value : nullptr;
}

std::string VisibleTitles()
{
    std::string titles;
    for (const auto& window : OpenWindows()) {
        if (!window->Visible())
            continue;
        if (!titles.empty())
            titles += " | ";
        titles += window->Title();
    }
    return titles;
}

// The item of the window's menu bar whose text (without its '&' marks) is
// `text`, with the menus that lead to it.
QAction* FindMenuAction(QWidget* widget, const QString& text, std::vector<QMenu*>& path)
{
    const auto actions = widget->actions();
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu()) {
            path.push_back(menu);
            if (QAction* found = FindMenuAction(menu, text, path))
                return found;
            path.pop_back();
        } else if (QString(action->text()).remove('&') == text) {
            return action;
        }
    }
    return nullptr;
}

// Chooses the item as a player would: the menus open (which runs the
// enabling pass), then the item is triggered.
bool ChooseMenuText(Window& window, const std::string& text)
{
    QMainWindow* top = window.Impl().TopLevel();
    QMenuBar* bar = top ? top->menuBar() : nullptr;
    if (!bar)
        return false;
    std::vector<QMenu*> path;
    QAction* action = FindMenuAction(bar, QString::fromStdString(text), path);
    if (!action)
        return false;
    for (QMenu* menu : path)
        emit menu->aboutToShow();
    if (!action->isEnabled())
        return false;
    action->trigger();
    return true;
}

// Watches top-level windows reach the screen. A window counts as shown once
// the window system has exposed it and the paint that exposure asks for has
// run, which is when the player sees it.
class ShownWatcher : public QObject {
public:
    ShownWatcher(bool report, bool cancelFileDialogs, std::vector<std::string> choices)
        : m_report(report)
        , m_cancelFileDialogs(cancelFileDialogs)
        , m_choices(std::move(choices))
    {
        if (!m_report)
            return;
        // Nobody waits for ever: a game that shows nothing in half a minute
        // is reported and ended.
        QTimer::singleShot(30000, this, [this] {
            if (m_gameShown)
                return;
            std::fprintf(stderr, "no window shown within 30 s\n");
            // A dialog left waiting for an answer is closed, so the code that
            // showed it returns and the loop can end.
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
            Quit(1);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose)
            return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window || !window->isTopLevel() || !window->isExposed())
            return false;
        if (m_seen.contains(window))
            return false;
        m_seen.insert(window);
        QObject::connect(window, &QObject::destroyed, this, [this, window] { m_seen.remove(window); });
        QPointer<QWindow> exposed(window);
        // Posted, so the exposure's own paint runs first.
        QTimer::singleShot(0, this, [this, exposed] {
            if (exposed)
                Shown(*exposed);
        });
        return false;
    }

private:
    void Shown(QWindow& window)
    {
        QWidget* widget = nullptr;
        for (QWidget* topLevel : QApplication::topLevelWidgets()) {
            if (topLevel->windowHandle() == &window)
                widget = topLevel;
        }
        if (!widget)
            return;
        if (m_report)
            std::fprintf(stderr, "shown: %s\n", widget->windowTitle().toUtf8().constData());
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && m_cancelFileDialogs) {
            dialog->reject();
            return;
        }
        WindowImpl* game = WindowImplOf(widget);
        if (!m_report || !game || m_gameShown)
            return;
        m_gameShown = true;
        if (m_choices.empty())
            QuitApplication();
        else
            ChooseInTurn(std::static_pointer_cast<Window>(game->Owner().shared_from_this()));
    }

    // Chooses the menu items one at a time, each once the window list has
    // changed or ten seconds have passed, then quits.
    void ChooseInTurn(std::shared_ptr<Window> first)
    {
        struct Progress {
            std::weak_ptr<Window> First;
            size_t Next = 0;
            std::string TitlesBefore;
            QElapsedTimer SinceChoice;
        };
        auto progress = std::make_shared<Progress>();
        progress->First = first;
        auto* poll = new QTimer(this);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, choices = m_choices, progress] {
            const std::string titles = VisibleTitles();
            if (progress->Next > 0) {
                // The chosen command's window, or ten seconds without one.
                if (titles == progress->TitlesBefore && progress->SinceChoice.elapsed() < 10000)
                    return;
                std::fprintf(stderr, "after %s: %s\n", choices[progress->Next - 1].c_str(), titles.c_str());
            }
            auto window = progress->First.lock();
            if (window && progress->Next < choices.size()) {
                const std::string& choice = choices[progress->Next++];
                progress->TitlesBefore = titles;
                progress->SinceChoice.start();
                if (!ChooseMenuText(*window, choice))
                    std::fprintf(stderr, "no enabled menu item %s\n", choice.c_str());
                return;
            }
            poll->stop();
            poll->deleteLater();
            QuitApplication();
        });
        poll->start(1);
    }

    bool m_report;
    bool m_cancelFileDialogs;
    std::vector<std::string> m_choices;
    bool m_gameShown = false;
    QSet<QWindow*> m_seen;
};

} // namespace

void InstallEnvironmentSeams()
{
    bool cancelWhenShown = false;
    if (const char* answer = Variable("TAVRINE_TEST_OPEN_DIALOG")) {
        std::string choice = answer;
        if (choice == "cancel-when-shown") {
            cancelWhenShown = true;
        } else {
            Seams::SetOpenDialogAnswer([choice](const OpenDialog&) -> std::shared_ptr<FolderItem> {
                if (choice == "cancel")
                    return nullptr;
                return std::make_shared<FolderItem>(choice);
            });
        }
    }
    if (Variable("TAVRINE_TEST_MESSAGES")) {
        Seams::SetMessageBoxAnswer([](const std::string& text) {
            std::fprintf(stderr, "message: %s\n", text.c_str());
        });
    }
    const bool quitWhenShown = Variable("TAVRINE_TEST_QUIT_WHEN_SHOWN") != nullptr;
    if (quitWhenShown || cancelWhenShown) {
        std::vector<std::string> choices;
        if (const char* list = Variable("TAVRINE_TEST_MENU_CHOICES")) {
            std::string rest = list;
            for (size_t semicolon; (semicolon = rest.find(';')) != std::string::npos; rest.erase(0, semicolon + 1))
                choices.push_back(rest.substr(0, semicolon));
            choices.push_back(rest);
        }
        auto* watcher = new ShownWatcher(quitWhenShown, cancelWhenShown, std::move(choices));
        watcher->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watcher);
    }
}

} // namespace fw
