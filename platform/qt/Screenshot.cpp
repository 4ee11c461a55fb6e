#include <cmath>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QWidget>

#include "platform/Picture.h"
#include "platform/Window.h"
#include "platform/pictures/PictureData.h"
#include "platform/qt/PictureImpl.h"

#include "platform/qt/WindowImpl.h"

namespace fw {

namespace {

double DeviceRatio()
{
    if (auto* screen = QGuiApplication::primaryScreen())
        return screen->devicePixelRatio();
    return 1.0;
}

QWidget* ContentOf(Window& window)
{
    return window.Impl().Content();
}

QImage Capture(int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    const double ratio = DeviceRatio();
    const QRectF wanted(left, top, width / ratio, height / ratio);
    auto windows = OpenWindows();
    // The white that stands for other programs is needed only where no
    // window of ours will paint its opaque background over the whole
    // rectangle, as the window a piece is cut from always does.
    bool covered = false;
    for (const auto& window : windows) {
        if (!window->Visible())
            continue;
        QWidget* content = ContentOf(*window);
        if (!content)
            continue;
        const QRectF area(QPointF(window->Left(), window->Top()), QSizeF(content->size()));
        if (area.contains(wanted) && content->palette().color(QPalette::Window).alpha() == 255)
            covered = true;
        break; // only the front window is sure to lie over everything
    }
    if (!covered)
        image.fill(Qt::white);
    // The painter counts in points; the image keeps device pixels.
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    // Front first in the list, so paint from the back.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        Window& window = **it;
        if (!window.Visible())
            continue;
        QWidget* content = ContentOf(window);
        if (!content)
            continue;
        const QPoint origin(window.Left(), window.Top());
        // Only the part of the window inside the rectangle is rendered, so a
        // small capture costs little however large the window is.
        const QRect part = wanted.translated(-origin).toAlignedRect().intersected(content->rect());
        if (part.isEmpty())
            continue;
        const QPointF offset = QPointF(origin) - wanted.topLeft() + QPointF(part.topLeft());
        painter.save();
        painter.translate(offset);
        // What the window itself paints under its content (its palette's
        // window colour) is drawn first, as the screen shows it.
        painter.fillRect(part, content->palette().color(QPalette::Window));
        content->render(&painter, QPoint(), QRegion(part), QWidget::DrawWindowBackground | QWidget::DrawChildren);
        painter.restore();
    }
    painter.end();
    image.setDevicePixelRatio(1.0);
    return image;
}

} // namespace

std::shared_ptr<Picture> CaptureScreenRect(int32_t left, int32_t top, int32_t width, int32_t height)
{
    QImage image = Capture(left, top, width, height);
    if (image.isNull())
        return nullptr;
    return PictureImpl::Wrap(std::move(image));
}

void* CaptureScreenForPlugin(int32_t left, int32_t top, int32_t width, int32_t height)
{
    QImage image = Capture(left, top, width, height);
    if (image.isNull())
        return nullptr;
    auto* data = new PictureData;
    data->width = image.width();
    data->height = image.height();
    data->stored = std::move(image);
    return data;
}

std::shared_ptr<Picture> GrabWindow(Window& window)
{
    QWidget* content = ContentOf(window);
    if (!content)
        return nullptr;
    QImage image = content->grab().toImage();
    image.setDevicePixelRatio(1.0);
    return PictureImpl::Wrap(std::move(image));
}

} // namespace fw
