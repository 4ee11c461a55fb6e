// The yardstick for start-up: the least a Qt Widgets program does to show one
// empty window. Once the window is on the screen and painted (the same moment
// the game reports for its own windows) it prints "shown: " to standard error
// and quits.
#include <cstdio>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class ShownWatcher : public QObject {
public:
    explicit ShownWatcher(QWidget& window)
        : m_window(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && !m_seen && watched == m_window.windowHandle()
            && m_window.windowHandle()->isExposed()) {
            m_seen = true;
            // Posted, so the exposure's own paint runs first.
            QTimer::singleShot(0, this, [] {
                std::fprintf(stderr, "shown: \n");
                QApplication::quit();
            });
        }
        return false;
    }

private:
    QWidget& m_window;
    bool m_seen = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(865, 542);
    ShownWatcher watcher(window);
    app.installEventFilter(&watcher);
    window.show();
    return app.exec();
}
