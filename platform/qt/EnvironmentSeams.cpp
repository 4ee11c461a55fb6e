#include "platform/qt/EnvironmentSeams.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
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

// Watches top-level windows reach the screen. A window counts as shown once
// the window system has exposed it and the paint that exposure asks for has
// run, which is when the player sees it.
class ShownWatcher : public QObject {
public:
    ShownWatcher(bool report, bool cancelFileDialogs)
        : m_report(report)
        , m_cancelFileDialogs(cancelFileDialogs)
    {
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
        if (m_report && WindowImplOf(widget))
            QuitApplication();
    }

    bool m_report;
    bool m_cancelFileDialogs;
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
        auto* watcher = new ShownWatcher(quitWhenShown, cancelWhenShown);
        watcher->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watcher);
    }
}

} // namespace fw
