#include <QGuiApplication>
#include <QScreen>

#include "platform/Exceptions.h"
#include "platform/System.h"

namespace fw {

namespace {

QScreen* ScreenAt(int32_t index)
{
    const auto screens = QGuiApplication::screens();
    if (index < 0 || index >= screens.size())
        throw OutOfBoundsException("there is no screen " + std::to_string(index));
    // Screen 0 is the primary screen, whatever order Qt lists them in.
    QScreen* primary = QGuiApplication::primaryScreen();
    if (index == 0)
        return primary;
    int32_t seen = 0;
    for (QScreen* screen : screens) {
        if (screen == primary)
            continue;
        if (++seen == index)
            return screen;
    }
    throw OutOfBoundsException("there is no screen " + std::to_string(index));
}

} // namespace

int32_t Screen::Left() const { return ScreenAt(m_index)->geometry().x(); }
int32_t Screen::Top() const { return ScreenAt(m_index)->geometry().y(); }
int32_t Screen::Width() const { return ScreenAt(m_index)->geometry().width(); }
int32_t Screen::Height() const { return ScreenAt(m_index)->geometry().height(); }
int32_t Screen::AvailableLeft() const { return ScreenAt(m_index)->availableGeometry().x(); }
int32_t Screen::AvailableTop() const { return ScreenAt(m_index)->availableGeometry().y(); }
int32_t Screen::AvailableWidth() const { return ScreenAt(m_index)->availableGeometry().width(); }
int32_t Screen::AvailableHeight() const { return ScreenAt(m_index)->availableGeometry().height(); }

std::shared_ptr<Screen> GetScreen(int32_t index)
{
    ScreenAt(index);
    return std::make_shared<Screen>(index);
}

} // namespace fw
