#include "platform/Picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/qt/GraphicsImpl.h"
#include "platform/qt/PictureImpl.h"

namespace fw {

QImage ToPictureFormat(QImage image)
{
    if (image.isNull() || image.format() == QImage::Format_ARGB32_Premultiplied)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

PictureImpl::PictureImpl(int32_t width, int32_t height)
{
    if (width > 0 && height > 0) {
        m_data.stored = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        // A picture too large to allocate stays null, with no size.
        if (!m_data.stored.isNull())
            m_data.stored.fill(Qt::transparent);
    }
    m_data.width = m_data.stored.width();
    m_data.height = m_data.stored.height();
}

PictureImpl::PictureImpl(PictureData data)
    : m_data(std::move(data))
{
    m_data.stored = ToPictureFormat(std::move(m_data.stored));
    // A picture counts in pixels; a ratio left over from the screen would
    // make painters scale it.
    m_data.stored.setDevicePixelRatio(1.0);
    if (m_data.stored.isNull()) {
        m_data.width = 0;
        m_data.height = 0;
        m_data.decodeFull = nullptr;
    } else if (!m_data.Reduced()) {
        m_data.decodeFull = nullptr;
    }
}

void PictureImpl::Materialise() const
{
    if (!m_data.Reduced())
        return;
    QImage full;
    if (m_data.decodeFull)
        full = ToPictureFormat(m_data.decodeFull());
    if (full.isNull() || full.width() != m_data.width || full.height() != m_data.height) {
        // The full-size pixels are gone (the decoder failed this time): the
        // held pixels, enlarged, are the best there is.
        full = m_data.stored.scaled(m_data.width, m_data.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    m_data.stored = std::move(full);
    m_data.decodeFull = nullptr;
}

const QImage& PictureImpl::Image() const
{
    Materialise();
    return m_data.stored;
}

QImage& PictureImpl::MutableImage()
{
    Materialise();
    // Detach now so a painter never writes into pixels another picture shares.
    m_data.stored.bits();
    return m_data.stored;
}

const QImage& PictureImpl::PixelsFor(const QRect& source, int destWidth, int destHeight, QRect& mapped) const
{
    if (m_data.Reduced()) {
        const double fx = double(m_data.stored.width()) / m_data.width;
        const double fy = double(m_data.stored.height()) / m_data.height;
        const int x0 = int(std::lround(source.left() * fx));
        const int y0 = int(std::lround(source.top() * fy));
        const int x1 = int(std::lround((source.left() + source.width()) * fx));
        const int y1 = int(std::lround((source.top() + source.height()) * fy));
        QRect candidate(x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0));
        candidate = candidate.intersected(m_data.stored.rect());
        // The held pixels serve while the drawing only shrinks them (or keeps
        // them one to one); enlarging would lose detail the file has.
        if (!candidate.isEmpty() && candidate.width() >= destWidth && candidate.height() >= destHeight) {
            mapped = candidate;
            return m_data.stored;
        }
        Materialise();
    }
    mapped = source;
    return m_data.stored;
}

std::shared_ptr<Picture> PictureImpl::Wrap(QImage image)
{
    PictureData data;
    data.stored = ToPictureFormat(std::move(image));
    data.width = data.stored.width();
    data.height = data.stored.height();
    return Adopt(std::move(data));
}

std::shared_ptr<Picture> PictureImpl::Adopt(PictureData data)
{
    return std::make_shared<Picture>(std::make_unique<PictureImpl>(std::move(data)));
}

Picture::Picture(int32_t width, int32_t height)
    : m_impl(std::make_unique<PictureImpl>(width, height))
{
}

Picture::Picture(std::unique_ptr<PictureImpl> impl)
    : m_impl(std::move(impl))
{
}

Picture::~Picture() = default;

int32_t Picture::Width() const { return m_impl->Width(); }
int32_t Picture::Height() const { return m_impl->Height(); }

std::shared_ptr<Graphics> Picture::GetGraphics()
{
    return std::make_shared<Graphics>(std::make_unique<GraphicsImpl>(this, weak_from_this()));
}

uint32_t Picture::Pixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        throw OutOfBoundsException("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") outside a picture of "
            + std::to_string(Width()) + " by " + std::to_string(Height()));
    return m_impl->Image().pixel(x, y);
}

std::shared_ptr<Picture> NewPicture(int32_t width, int32_t height, int32_t)
{
    return std::make_shared<Picture>(width, height);
}

bool SavePicturePNG(const Picture& picture, const std::string& path)
{
    return picture.Impl().Image().save(QString::fromStdString(path), "PNG");
}

} // namespace fw
