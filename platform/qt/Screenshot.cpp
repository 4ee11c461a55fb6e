#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <QAbstractEventDispatcher>
#include <QBackingStore>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/Picture.h"
#include "platform/Window.h"
#include "platform/pictures/PictureData.h"
#include "platform/qt/PictureImpl.h"
#include "platform/qt/VectorCode.h"

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

// Counts the events the application delivers and the passes of its event
// loop, so a capture can tell whether anything but the program's own code has
// run since it last brought a window up to date.
class ActivityCounter : public QObject {
public:
    static uint64_t Count()
    {
        static QPointer<ActivityCounter> counter;
        if (!counter && QCoreApplication::instance())
            counter = new ActivityCounter(QCoreApplication::instance());
        if (counter)
            counter->WatchEventLoop();
        return s_count;
    }

protected:
    bool eventFilter(QObject*, QEvent*) override
    {
        ++s_count;
        return false;
    }

private:
    explicit ActivityCounter(QCoreApplication* application)
        : QObject(application)
    {
        application->installEventFilter(this);
    }

    void WatchEventLoop()
    {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        if (dispatcher == m_dispatcher)
            return;
        m_dispatcher = dispatcher;
        if (dispatcher)
            connect(dispatcher, &QAbstractEventDispatcher::awake, this, [] { ++s_count; });
    }

    QPointer<QAbstractEventDispatcher> m_dispatcher;
    static inline uint64_t s_count = 0;
};

// The pixels a window shows: what was last painted into its backing store.
// Whatever waits to be painted is painted first, unless only the program's
// own code has run since that was last done for this window: a run of
// captures from one handler (the 25 of a scramble) pays for it once, and what
// the handler itself changes between two of its captures shows once it
// returns, as on a real screen. `offset` is where the content area lies in
// the pixels, in points. Null when the window is not on show or keeps its
// pixels where they cannot be read; the caller then renders the content.
const QImage* PaintedPixels(Window& window, QPoint& offset)
{
    WindowImpl& impl = window.Impl();
    QWidget* top = impl.TopLevel();
    QWidget* content = impl.Content();
    if (!top || !content || !top->isVisible())
        return nullptr;
    if (impl.paintedAtActivity != ActivityCounter::Count()) {
        // Painting now what the event loop would paint next: the work is
        // not repeated there, and only what changed is painted.
        QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);
        impl.paintedAtActivity = ActivityCounter::Count();
    }
    QWindow* handle = top->windowHandle();
    if (!handle || !handle->isExposed())
        return nullptr;
    QBackingStore* store = top->backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    const auto* image = static_cast<const QImage*>(device);
    const QSize needed = (QSizeF(top->size()) * image->devicePixelRatio()).toSize();
    if (image->isNull() || image->depth() != 32 || image->width() < needed.width()
        || image->height() < needed.height())
        return nullptr;
    offset = content->mapTo(top, QPoint(0, 0));
    return image;
}

// Copies pixels whose unused top byte is meant to read 0xFF (what the
// window system keeps for an opaque window), making sure it does.
#if defined(TAVRINE_WIDE_VECTORS)
__attribute__((target("avx2"))) int CopyRowOpaqueAvx2(const uint32_t* from, uint32_t* to, int count)
{
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + x), _mm256_or_si256(p, alpha));
    }
    return x;
}
#endif

void CopyRowOpaque(const uint32_t* from, uint32_t* to, int count)
{
    int x = 0;
#if defined(TAVRINE_WIDE_VECTORS)
    if (HasAvx2())
        x = CopyRowOpaqueAvx2(from, to, count);
#endif
#if defined(__SSE2__)
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    for (; x + 4 <= count; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_or_si128(p, alpha));
    }
#endif
    for (; x < count; ++x)
        to[x] = from[x] | 0xFF000000u;
}

// The quick way for the usual capture: one window covers the whole
// rectangle and its painted pixels are at the capture's density, so rows are
// copied as they are. False when that does not hold.
bool CopyPainted(Window& window, const QRectF& wanted, double ratio, QImage& image)
{
    QPoint offset;
    const QImage* painted = PaintedPixels(window, offset);
    if (!painted || painted->devicePixelRatio() != ratio)
        return false;
    const bool opaqueFormat = painted->format() == QImage::Format_RGB32;
    if (!opaqueFormat && painted->format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QPointF origin = (wanted.topLeft() - QPointF(window.Left(), window.Top()) + QPointF(offset)) * ratio;
    const QPoint start(int(std::lround(origin.x())), int(std::lround(origin.y())));
    if (QPointF(start) != origin || !painted->rect().contains(QRect(start, image.size())))
        return false;
    const int width = image.width();
    const int height = image.height();
    const qsizetype fromStride = painted->bytesPerLine();
    const qsizetype toStride = image.bytesPerLine();
    const uchar* from = painted->constBits() + fromStride * start.y() + qsizetype(start.x()) * 4;
    uchar* to = image.bits();
    for (int y = 0; y < height; ++y, from += fromStride, to += toStride) {
        if (opaqueFormat)
            CopyRowOpaque(reinterpret_cast<const uint32_t*>(from), reinterpret_cast<uint32_t*>(to), width);
        else
            std::memcpy(to, from, size_t(width) * 4);
    }
    return true;
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
        if (area.contains(wanted) && content->palette().color(QPalette::Window).alpha() == 255) {
            covered = true;
            if (CopyPainted(*window, wanted, ratio, image))
                return image;
        }
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
        // Only the part of the window inside the rectangle is drawn, so a
        // small capture costs little however large the window is.
        const QRect part = wanted.translated(-origin).toAlignedRect().intersected(content->rect());
        if (part.isEmpty())
            continue;
        const QPointF offset = QPointF(origin) - wanted.topLeft() + QPointF(part.topLeft());
        QPoint contentOffset;
        if (const QImage* painted = PaintedPixels(window, contentOffset)) {
            const double pixelRatio = painted->devicePixelRatio();
            const QRectF source(QPointF(part.translated(contentOffset).topLeft()) * pixelRatio,
                QSizeF(part.size()) * pixelRatio);
            painter.drawImage(QRectF(offset, QSizeF(part.size())), *painted, source);
            continue;
        }
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
