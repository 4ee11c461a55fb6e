#include "platform/Graphics.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringList>

#include "platform/Exceptions.h"
#include "platform/Picture.h"
#include "platform/qt/GraphicsImpl.h"
#include "platform/qt/PictureImpl.h"

namespace fw {

GraphicsImpl::GraphicsImpl(Picture* picture, std::weak_ptr<Object> owner)
    : m_picture(picture)
    , m_owner(std::move(owner))
{
    // A picture held by no shared pointer has an empty owner from the start;
    // only an owner that existed and expired means the picture is gone.
    m_owned = !m_owner.expired();
}

GraphicsImpl::GraphicsImpl(QPainter* painter, int width, int height, std::function<void()> nextPage)
    : m_painter(painter)
    , m_width(width)
    , m_height(height)
    , m_nextPage(std::move(nextPage))
{
}

Picture* GraphicsImpl::TargetPicture() const
{
    if (!m_picture || (m_owned && m_owner.expired()))
        return nullptr;
    return m_picture;
}

QFont GraphicsImpl::CurrentFont() const
{
    QFont font;
    if (TextFont.empty() || TextFont == "System" || TextFont == "SmallSystem")
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    else
        font = QFont(QString::fromStdString(TextFont));
    if (TextSize > 0)
        font.setPointSizeF(TextSize);
    else if (font.pointSizeF() <= 0)
        font.setPointSizeF(12);
    font.setBold(Bold);
    return font;
}

void GraphicsImpl::Paint(const std::function<void(QPainter&)>& draw, bool withText)
{
    // Looking up the font is the dearest part of setting a painter up, and
    // drawing a picture never uses it.
    auto setUp = [this, withText](QPainter& painter) {
        if (withText)
            painter.setFont(CurrentFont());
        painter.setPen(QColor(ForeColor.Red, ForeColor.Green, ForeColor.Blue));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
    };
    if (m_painter) {
        m_painter->save();
        setUp(*m_painter);
        draw(*m_painter);
        m_painter->restore();
        return;
    }
    Picture* picture = TargetPicture();
    if (!picture)
        return;
    QImage& image = picture->Impl().MutableImage();
    if (image.isNull())
        return;
    QPainter painter(&image);
    setUp(painter);
    draw(painter);
}

int GraphicsImpl::Width() const
{
    if (m_painter)
        return m_width;
    Picture* picture = TargetPicture();
    return picture ? picture->Width() : 0;
}

int GraphicsImpl::Height() const
{
    if (m_painter)
        return m_height;
    Picture* picture = TargetPicture();
    return picture ? picture->Height() : 0;
}

void GraphicsImpl::NextPage()
{
    if (m_nextPage)
        m_nextPage();
}

namespace {

#if defined(__SSE2__)
#if defined(__GNUC__) && defined(__x86_64__)
// Qt's own drawing runs 256-bit vector code and may return with the upper
// halves of the vector registers in use; plain SSE code run after that is
// slowed several times over on many processors until they are cleared.
__attribute__((target("avx"))) void ClearUpperVectorHalvesAvx()
{
    _mm256_zeroupper();
}

void ClearUpperVectorHalves()
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        ClearUpperVectorHalvesAvx();
}
#else
void ClearUpperVectorHalves() { }
#endif

// The commonest reduction, each 2 by 2 block to one pixel (a capture of a
// double-density screen onto a tile), four output pixels per step with the
// channels widened to 16 bits.
void ShrinkHalf(const uchar* bits, qsizetype stride, uint32_t* out, qsizetype outStride, int destWidth, int destHeight)
{
    ClearUpperVectorHalves();
    const __m128i zero = _mm_setzero_si128();
    const __m128i two = _mm_set1_epi16(2);
    for (int y = 0; y < destHeight; ++y) {
        const auto* row0 = reinterpret_cast<const uint32_t*>(bits + stride * (qsizetype(y) * 2));
        const auto* row1 = reinterpret_cast<const uint32_t*>(bits + stride * (qsizetype(y) * 2 + 1));
        auto* target = reinterpret_cast<uint32_t*>(reinterpret_cast<uchar*>(out) + outStride * y);
        int x = 0;
        for (; x + 4 <= destWidth; x += 4) {
            // Eight source pixels of each row: p0..p3 and p4..p7.
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row0 + 2 * x));
            const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row0 + 2 * x + 4));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row1 + 2 * x));
            const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row1 + 2 * x + 4));
            // Column sums of each pixel pair, 16 bits a channel: p0 p1 | p2 p3.
            const __m128i s0 = _mm_add_epi16(_mm_unpacklo_epi8(a0, zero), _mm_unpacklo_epi8(b0, zero));
            const __m128i s1 = _mm_add_epi16(_mm_unpackhi_epi8(a0, zero), _mm_unpackhi_epi8(b0, zero));
            const __m128i s2 = _mm_add_epi16(_mm_unpacklo_epi8(a1, zero), _mm_unpacklo_epi8(b1, zero));
            const __m128i s3 = _mm_add_epi16(_mm_unpackhi_epi8(a1, zero), _mm_unpackhi_epi8(b1, zero));
            // Add each pixel to its right neighbour: the low 64 bits of one
            // register plus its high 64 bits.
            const __m128i lo01 = _mm_unpacklo_epi64(s0, s1);
            const __m128i hi01 = _mm_unpackhi_epi64(s0, s1);
            const __m128i lo23 = _mm_unpacklo_epi64(s2, s3);
            const __m128i hi23 = _mm_unpackhi_epi64(s2, s3);
            const __m128i q01 = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(lo01, hi01), two), 2);
            const __m128i q23 = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(lo23, hi23), two), 2);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), _mm_packus_epi16(q01, q23));
        }
        for (; x < destWidth; ++x) {
            const uint32_t p[4] = { row0[2 * x], row0[2 * x + 1], row1[2 * x], row1[2 * x + 1] };
            uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 2;
                for (uint32_t pixel : p)
                    sum += (pixel >> shift) & 0xFFu;
                result |= (sum >> 2) << shift;
            }
            target[x] = result;
        }
    }
}
#endif

} // namespace

QImage ShrinkByWholeFactor(const QImage& source, int destWidth, int destHeight)
{
    if (source.format() != QImage::Format_ARGB32_Premultiplied || destWidth <= 0 || destHeight <= 0)
        return {};
    const int kx = source.width() / destWidth;
    const int ky = source.height() / destHeight;
    if (kx * destWidth != source.width() || ky * destHeight != source.height() || kx < 1 || ky < 1
        || (kx == 1 && ky == 1))
        return {};
    // Larger boxes are rare (a huge photo onto a tiny tile) and are left to
    // the general filter; this bound also keeps the sums within 32 bits.
    const uint32_t count = uint32_t(kx) * uint32_t(ky);
    if (count > 4096)
        return {};
    QImage out(destWidth, destHeight, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    // Premultiplied channels average directly: a translucent pixel weighs in
    // by its coverage, as the area average wants. Two channels are summed at
    // once in the halves of a 64-bit word (a box of at most 4096 pixels sums
    // to under 2^20 per channel).
    const uint64_t half = count / 2;
    // Division by the box size as a multiplication by its reciprocal
    // rounded up: exact for every sum below 2^21, as all of these are.
    const uint64_t reciprocal = ((uint64_t(1) << 40) + count - 1) / count;
    auto divide = [reciprocal](uint64_t sum) { return uint32_t((sum * reciprocal) >> 40); };
    const uchar* bits = source.constBits();
    const qsizetype stride = source.bytesPerLine();
#if defined(__SSE2__)
    // Elsewhere the general loop below gives the same result.
    if (kx == 2 && ky == 2) {
        ShrinkHalf(bits, stride, reinterpret_cast<uint32_t*>(out.bits()), out.bytesPerLine(), destWidth, destHeight);
        return out;
    }
#endif
    for (int y = 0; y < destHeight; ++y) {
        const uchar* top = bits + stride * qsizetype(y) * ky;
        auto* target = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < destWidth; ++x) {
            uint64_t ag = 0, rb = 0;
            const uchar* rowBytes = top;
            for (int dy = 0; dy < ky; ++dy, rowBytes += stride) {
                const auto* row = reinterpret_cast<const uint32_t*>(rowBytes) + qsizetype(x) * kx;
                for (int dx = 0; dx < kx; ++dx) {
                    const uint64_t p = row[dx];
                    ag += ((p & 0xFF000000u) << 8) | ((p >> 8) & 0xFFu);
                    rb += ((p & 0x00FF0000u) << 16) | (p & 0xFFu);
                }
            }
            const uint32_t a = divide((ag >> 32) + half);
            const uint32_t g = divide((ag & 0xFFFFFFFFu) + half);
            const uint32_t r = divide((rb >> 32) + half);
            const uint32_t b = divide((rb & 0xFFFFFFFFu) + half);
            target[x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return out;
}

namespace {

// The premultiplied "over" product of a pixel and a coverage, rounded as Qt's
// raster engine rounds it, so pixels blended here equal those it blends.
inline uint32_t ByteMul(uint32_t x, uint32_t a)
{
    uint32_t t = (x & 0xFF00FFu) * a;
    t = (t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8;
    t &= 0xFF00FFu;
    x = ((x >> 8) & 0xFF00FFu) * a;
    x = x + ((x >> 8) & 0xFF00FFu) + 0x800080u;
    x &= 0xFF00FF00u;
    return x | t;
}

} // namespace

void BlendSourceOver(QImage& target, QPoint at, const QImage& source)
{
    const QRect area = QRect(at, source.size()).intersected(target.rect());
    if (area.isEmpty())
        return;
    const int sx = area.left() - at.x();
    const int sy = area.top() - at.y();
    for (int y = 0; y < area.height(); ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(source.constScanLine(sy + y)) + sx;
        auto* to = reinterpret_cast<uint32_t*>(target.scanLine(area.top() + y)) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            const uint32_t p = from[x];
            if (p >= 0xFF000000u)
                to[x] = p;
            else if (p != 0)
                to[x] = p + ByteMul(to[x], (~p) >> 24);
        }
    }
}

Graphics::Graphics(std::unique_ptr<GraphicsImpl> impl)
    : m_impl(std::move(impl))
{
}

Graphics::~Graphics() = default;

void Graphics::DrawPicture(const std::shared_ptr<Picture>& picture, int32_t x, int32_t y, int32_t destWidth,
    int32_t destHeight, int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
{
    const Picture& source = Deref(picture, "picture");
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    // The source rectangle is clipped to the picture; the destination shrinks
    // with it in proportion, so what is drawn keeps its place and scale.
    const QRect requested(sourceX, sourceY, sourceWidth, sourceHeight);
    const QRect clipped = requested.intersected(QRect(0, 0, source.Width(), source.Height()));
    if (clipped.isEmpty())
        return;
    const double fx = double(destWidth) / sourceWidth;
    const double fy = double(destHeight) / sourceHeight;
    const int left = x + int(std::lround((clipped.left() - sourceX) * fx));
    const int top = y + int(std::lround((clipped.top() - sourceY) * fy));
    const int right = x + int(std::lround((clipped.left() + clipped.width() - sourceX) * fx));
    const int bottom = y + int(std::lround((clipped.top() + clipped.height() - sourceY) * fy));
    const QRect dest(left, top, right - left, bottom - top);
    if (dest.isEmpty())
        return;

    QRect mapped;
    const QImage& pixels = source.Impl().PixelsFor(clipped, dest.width(), dest.height(), mapped);
    if (pixels.isNull())
        return;
    // A view onto the source rectangle without copying it; the scaling
    // below reads it before anything can change the source.
    const QImage part(pixels.constScanLine(mapped.top()) + size_t(mapped.left()) * 4, mapped.width(), mapped.height(),
        pixels.bytesPerLine(), pixels.format());
    QImage scaled;
    if (part.size() == dest.size()) {
        // One to one needs no scaling. The view is drawn as it is, unless the
        // picture draws into itself: then the painter would read pixels it
        // has already overwritten.
        scaled = m_impl->TargetPicture() == &source ? part.copy() : part;
    } else {
        // An exact whole-number reduction is averaged here in boxes, which
        // is the same area average as the general filter, much faster.
        scaled = ShrinkByWholeFactor(part, dest.width(), dest.height());
        // Otherwise Qt's smooth scaling averages the covered area when it
        // shrinks and interpolates when it enlarges.
        if (scaled.isNull())
            scaled = part.scaled(dest.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (Picture* target = m_impl->TargetPicture()) {
        // Into a picture the pixels are laid over directly: Qt's painter
        // would hand a block this size to its thread pool and wait for it,
        // which costs more than the blending itself.
        QImage& image = target->Impl().MutableImage();
        if (!image.isNull() && image.format() == QImage::Format_ARGB32_Premultiplied
            && scaled.format() == QImage::Format_ARGB32_Premultiplied) {
            BlendSourceOver(image, dest.topLeft(), scaled);
            return;
        }
    }
    m_impl->Paint([&](QPainter& painter) { painter.drawImage(dest.topLeft(), scaled); }, false);
}

std::string Graphics::TextFont() const { return m_impl->TextFont; }
void Graphics::SetTextFont(const std::string& font) { m_impl->TextFont = font; }
double Graphics::TextSize() const { return m_impl->TextSize; }
void Graphics::SetTextSize(double size) { m_impl->TextSize = size; }
bool Graphics::Bold() const { return m_impl->Bold; }
void Graphics::SetBold(bool value) { m_impl->Bold = value; }
Color Graphics::ForeColor() const { return m_impl->ForeColor; }
void Graphics::SetForeColor(Color value) { m_impl->ForeColor = value; }

namespace {

// Breaks text into lines at its line ends (CR, LF or CRLF) and, when
// wrapWidth is positive, between words so that no line is wider.
QStringList LayOutLines(const QString& text, const QFontMetricsF& metrics, int wrapWidth)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = normalised.split(QLatin1Char('\n'));
    if (wrapWidth <= 0)
        return paragraphs;
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > wrapWidth) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

void Graphics::DrawString(const std::string& text, int32_t x, int32_t y, int32_t wrapWidth, bool)
{
    m_impl->Paint([&](QPainter& painter) {
        const QFontMetricsF metrics(painter.font(), painter.device());
        const QStringList lines = LayOutLines(QString::fromStdString(text), metrics, wrapWidth);
        double baseline = y;
        for (const QString& line : lines) {
            painter.drawText(QPointF(x, baseline), line);
            baseline += metrics.lineSpacing();
        }
    });
}

void Graphics::NextPage() { m_impl->NextPage(); }

int32_t Graphics::Width() const { return m_impl->Width(); }
int32_t Graphics::Height() const { return m_impl->Height(); }

} // namespace fw
