// The yardstick for start-up: the least a Qt Widgets program does to show one
// empty window, quitting as soon as it is visible.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(865, 542);
    window.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (window.isVisible())
            app.quit();
    });
    poll.start(1);
    return app.exec();
}
