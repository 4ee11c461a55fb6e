#include "platform/Picture.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

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

namespace {

// An Exif block (APP1) holding one orientation entry, big-endian TIFF.
std::vector<uint8_t> ExifOrientationBlock(int orientation)
{
    const uint8_t o = uint8_t(orientation);
    return { 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, // TIFF header, IFD0 at 8
        0, 1, // one entry
        0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, o, 0, 0, // Orientation, SHORT, count 1
        0, 0, 0, 0 }; // no next IFD
}

// libjpeg reports a fatal error by calling error_exit, which must not
// return; a C++ exception cannot pass through its C frames, so it jumps.
struct WriteError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

[[noreturn]] void JumpOnWriteError(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<WriteError*>(cinfo->err)->jump, 1);
}

} // namespace

bool SavePictureJPEG(const Picture& picture, const std::string& path, const JpegWriteOptions& options)
{
    const QImage image = picture.Impl().Image().convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;

    using Colors = JpegWriteOptions::Colors;
    std::vector<JSAMPLE> row(size_t(image.width()) * 4);
    const auto block = ExifOrientationBlock(options.ExifOrientation);

    jpeg_compress_struct cinfo {};
    WriteError jerr {};
    cinfo.err = jpeg_std_error(&jerr.mgr);
    jerr.mgr.error_exit = JumpOnWriteError;
    volatile bool ok = false;
    if (setjmp(jerr.jump) == 0) {
        const J_COLOR_SPACE space = options.ColorModel == Colors::Grayscale ? JCS_GRAYSCALE
            : options.ColorModel == Colors::CMYK                            ? JCS_CMYK
                                                                            : JCS_RGB;
        const int components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
        jpeg_create_compress(&cinfo);
        jpeg_stdio_dest(&cinfo, file);
        cinfo.image_width = JDIMENSION(image.width());
        cinfo.image_height = JDIMENSION(image.height());
        cinfo.in_color_space = space;
        cinfo.input_components = components;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, options.Quality, TRUE);
        if (space == JCS_CMYK)
            cinfo.write_Adobe_marker = options.AdobeInverted ? TRUE : FALSE;
        if (options.Progressive)
            jpeg_simple_progression(&cinfo);
        cinfo.arith_code = options.Arithmetic ? TRUE : FALSE;
        jpeg_start_compress(&cinfo, TRUE);
        if (options.ExifOrientation >= 1 && options.ExifOrientation <= 8)
            jpeg_write_marker(&cinfo, JPEG_APP0 + 1, block.data(), unsigned(block.size()));
        const bool inverted = options.AdobeInverted;
        while (cinfo.next_scanline < cinfo.image_height) {
            const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(int(cinfo.next_scanline)));
            for (int x = 0; x < image.width(); ++x) {
                const int r = qRed(src[x]), g = qGreen(src[x]), b = qBlue(src[x]);
                JSAMPLE* out = &row[size_t(x) * size_t(components)];
                if (components == 3) {
                    out[0] = JSAMPLE(r);
                    out[1] = JSAMPLE(g);
                    out[2] = JSAMPLE(b);
                } else if (components == 1) {
                    out[0] = JSAMPLE(qGray(r, g, b));
                } else {
                    const int top = std::max({ r, g, b });
                    const int k = 255 - top;
                    int c = 0, m = 0, y = 0;
                    if (top > 0) {
                        c = 255 - (r * 255 + top / 2) / top;
                        m = 255 - (g * 255 + top / 2) / top;
                        y = 255 - (b * 255 + top / 2) / top;
                    }
                    out[0] = JSAMPLE(inverted ? 255 - c : c);
                    out[1] = JSAMPLE(inverted ? 255 - m : m);
                    out[2] = JSAMPLE(inverted ? 255 - y : y);
                    out[3] = JSAMPLE(inverted ? 255 - k : k);
                }
            }
            JSAMPROW rows[1] = { row.data() };
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
        jpeg_finish_compress(&cinfo);
        ok = true;
    }
    jpeg_destroy_compress(&cinfo);
    if (std::fclose(file) != 0)
        ok = false;
    return ok;
}

} // namespace fw
