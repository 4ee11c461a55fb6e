#include "platform/Picture.h"

#include <QImage>

#include "platform/qt/PictureImpl.h"

namespace fw {

std::shared_ptr<Picture> PictureFromPixels(int32_t width, int32_t height, const std::vector<uint32_t>& argb)
{
    if (width <= 0 || height <= 0 || argb.size() != size_t(width) * size_t(height))
        return nullptr;
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return nullptr;
    for (int32_t y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int32_t x = 0; x < width; ++x)
            line[x] = argb[size_t(y) * size_t(width) + size_t(x)];
    }
    return PictureImpl::Wrap(std::move(image));
}

} // namespace fw
