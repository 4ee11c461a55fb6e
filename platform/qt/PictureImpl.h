#pragma once

#include <memory>

#include <QImage>

#include "platform/Picture.h"
#include "platform/pictures/PictureData.h"

namespace fw {

// A picture's pixels: a QImage in Format_ARGB32_Premultiplied. A picture
// decoded for display may keep fewer stored pixels than its size and bring
// the full-size ones on first need (see PictureData).
class PictureImpl {
public:
    PictureImpl(int32_t width, int32_t height);
    explicit PictureImpl(PictureData data);

    int32_t Width() const { return m_data.width; }
    int32_t Height() const { return m_data.height; }

    // The full-size pixels (decoded now when only reduced ones are held).
    const QImage& Image() const;
    // The same, for drawing into: detached from every other user.
    QImage& MutableImage();

    // The pixels as held, possibly reduced.
    const PictureData& Data() const { return m_data; }

    // The pixels to draw the source rectangle (in picture pixels) from when
    // it is scaled to destWidth by destHeight, and that rectangle in those
    // pixels. Reduced pixels serve as long as they do not need enlarging.
    const QImage& PixelsFor(const QRect& source, int destWidth, int destHeight, QRect& mapped) const;

    // Wraps pixels into a new picture (converted to the picture format).
    static std::shared_ptr<Picture> Wrap(QImage image);
    // Takes over pixels handed back by the picture library.
    static std::shared_ptr<Picture> Adopt(PictureData data);

private:
    void Materialise() const;

    mutable PictureData m_data;
};

// Converts any image to the format every picture keeps.
QImage ToPictureFormat(QImage image);

// CaptureScreenRect for the picture library: a new PictureData, or nullptr.
void* CaptureScreenForPlugin(int32_t left, int32_t top, int32_t width, int32_t height);

} // namespace fw
