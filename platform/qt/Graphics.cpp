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
#include "platform/qt/VectorCode.h"

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
// double-density screen onto a tile), of one row: `out` gets `count` pixels
// from the two source rows below each other. Four output pixels per step
// with the channels widened to 16 bits.
void ShrinkHalfRow(const uint32_t* row0, const uint32_t* row1, uint32_t* out, int count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i two = _mm_set1_epi16(2);
    int x = 0;
    for (; x + 4 <= count; x += 4) {
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
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(q01, q23));
    }
    for (; x < count; ++x) {
        const uint32_t p[4] = { row0[2 * x], row0[2 * x + 1], row1[2 * x], row1[2 * x + 1] };
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            uint32_t sum = 2;
            for (uint32_t pixel : p)
                sum += (pixel >> shift) & 0xFFu;
            result |= (sum >> 2) << shift;
        }
        out[x] = result;
    }
}

void ShrinkHalf(const uchar* bits, qsizetype stride, uint32_t* out, qsizetype outStride, int destWidth, int destHeight)
{
    ClearUpperVectorHalves();
    for (int y = 0; y < destHeight; ++y) {
        const auto* row0 = reinterpret_cast<const uint32_t*>(bits + stride * (qsizetype(y) * 2));
        const auto* row1 = reinterpret_cast<const uint32_t*>(bits + stride * (qsizetype(y) * 2 + 1));
        auto* target = reinterpret_cast<uint32_t*>(reinterpret_cast<uchar*>(out) + outStride * y);
        ShrinkHalfRow(row0, row1, target, destWidth);
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

// One premultiplied pixel laid over another.
inline void LayOver(uint32_t pixel, uint32_t& target)
{
    if (pixel >= 0xFF000000u)
        target = pixel;
    else if (pixel != 0)
        target = pixel + ByteMul(target, (~pixel) >> 24);
}

// Lays `count` premultiplied pixels over as many target pixels. Pictures are
// mostly opaque (captures, photos) or have wide transparent parts, so whole
// groups of four that are one or the other are copied or skipped at once.
void BlendRowOver(const uint32_t* from, uint32_t* to, int count)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i ones = _mm_set1_epi32(-1);
    const __m128i zero = _mm_setzero_si128();
    for (; x + 4 <= count; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        // The alpha bytes are bytes 3, 7, 11 and 15.
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(p, ones)) & 0x8888) == 0x8888) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), p);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(p, zero)) == 0xFFFF)
            continue;
        for (int i = x; i < x + 4; ++i)
            LayOver(from[i], to[i]);
    }
#endif
    for (; x < count; ++x)
        LayOver(from[x], to[x]);
}

#if defined(TAVRINE_WIDE_VECTORS)
// Eight pixels with the same channel of each pair of neighbours summed, as
// 16-bit numbers.
__attribute__((target("avx2"))) inline __m256i PairSums(const uint32_t* pixels, __m256i pairs, __m256i byteOnes)
{
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
    return _mm256_maddubs_epi16(_mm256_shuffle_epi8(p, pairs), byteOnes);
}

// The halving of ShrinkHalfRow, eight output pixels at a time, laid over the
// target at once: stored where all eight are opaque, skipped where all are
// transparent, blended one by one otherwise. Returns how many pixels it did
// (a multiple of eight); the caller does the rest.
__attribute__((target("avx2"))) int ShrinkHalfOverRowAvx2(
    const uint32_t* row0, const uint32_t* row1, uint32_t* to, int count)
{
    // Within each 128-bit half (four pixels), the same channel of each pair
    // of neighbours side by side, so that one multiply-add by ones sums them:
    // B0 B1 G0 G1 R0 R1 A0 A1, then the same for pixels 2 and 3.
    const __m256i pairs = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, //
        0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i byteOnes = _mm256_set1_epi8(1);
    const __m256i two = _mm256_set1_epi16(2);
    const __m256i ones = _mm256_set1_epi32(-1);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        // 16-bit sums of each 2 by 2 block: outputs 0 1 | 2 3 of the halves
        // for the first sixteen source columns, 4 5 | 6 7 for the next.
        const __m256i s0
            = _mm256_add_epi16(PairSums(row0 + 2 * x, pairs, byteOnes), PairSums(row1 + 2 * x, pairs, byteOnes));
        const __m256i s1 = _mm256_add_epi16(
            PairSums(row0 + 2 * x + 8, pairs, byteOnes), PairSums(row1 + 2 * x + 8, pairs, byteOnes));
        const __m256i q0 = _mm256_srli_epi16(_mm256_add_epi16(s0, two), 2);
        const __m256i q1 = _mm256_srli_epi16(_mm256_add_epi16(s1, two), 2);
        // Packed, the halves hold outputs 0 1 4 5 and 2 3 6 7; put them in
        // order.
        const __m256i result = _mm256_permute4x64_epi64(_mm256_packus_epi16(q0, q1), 0xD8);
        // The alpha bytes are every fourth, from the fourth on.
        const uint32_t opaque
            = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(result, ones))) & 0x88888888u;
        if (opaque == 0x88888888u) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + x), result);
            continue;
        }
        if (opaque == 0 && _mm256_testz_si256(result, result))
            continue;
        alignas(32) uint32_t pixels[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(pixels), result);
        for (int i = 0; i < 8; ++i)
            LayOver(pixels[i], to[x + i]);
    }
    return x;
}
#endif

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
        BlendRowOver(from, to, area.width());
    }
}

bool ShrinkHalfOver(QImage& target, const QRect& dest, const QImage& source)
{
#if defined(__SSE2__)
    if (source.format() != QImage::Format_ARGB32_Premultiplied
        || target.format() != QImage::Format_ARGB32_Premultiplied || source.width() != 2 * dest.width()
        || source.height() != 2 * dest.height())
        return false;
    const QRect area = dest.intersected(target.rect());
    if (area.isEmpty())
        return true;
    // One row at a time; what the wide loop leaves goes through a small
    // buffer that stays in the nearest cache. The reduced picture is never
    // held whole.
    const int width = area.width();
    std::vector<uint32_t> row(static_cast<size_t>(width));
    const uchar* sourceBits = source.constBits();
    const qsizetype sourceStride = source.bytesPerLine();
    uchar* targetBits = target.bits();
    const qsizetype targetStride = target.bytesPerLine();
    const int sx = 2 * (area.left() - dest.left());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const qsizetype sy = 2 * qsizetype(y - dest.top());
        const auto* row0 = reinterpret_cast<const uint32_t*>(sourceBits + sourceStride * sy) + sx;
        const auto* row1 = reinterpret_cast<const uint32_t*>(sourceBits + sourceStride * (sy + 1)) + sx;
        auto* to = reinterpret_cast<uint32_t*>(targetBits + targetStride * y) + area.left();
        int done = 0;
#if defined(TAVRINE_WIDE_VECTORS)
        if (HasAvx2())
            done = ShrinkHalfOverRowAvx2(row0, row1, to, width);
#endif
        if (done < width) {
            ClearUpperVectorHalves();
            ShrinkHalfRow(row0 + 2 * done, row1 + 2 * done, row.data(), width - done);
            BlendRowOver(row.data(), to + done, width - done);
        }
    }
    return true;
#else
    (void)target;
    (void)dest;
    (void)source;
    return false;
#endif
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
    Picture* targetPicture = m_impl->TargetPicture();
    if (targetPicture && targetPicture != &source && part.size() == dest.size() * 2) {
        // Halving onto another picture: reduced and laid over row by row.
        QImage& image = targetPicture->Impl().MutableImage();
        if (!image.isNull() && ShrinkHalfOver(image, dest, part))
            return;
    }
    QImage scaled;
    if (part.size() == dest.size()) {
        // One to one needs no scaling. The view is drawn as it is, unless the
        // picture draws into itself: then the painter would read pixels it
        // has already overwritten.
        scaled = targetPicture == &source ? part.copy() : part;
    } else {
        // An exact whole-number reduction is averaged here in boxes, which
        // is the same area average as the general filter, much faster.
        scaled = ShrinkByWholeFactor(part, dest.width(), dest.height());
        // Otherwise Qt's smooth scaling averages the covered area when it
        // shrinks and interpolates when it enlarges.
        if (scaled.isNull())
            scaled = part.scaled(dest.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (targetPicture) {
        // Into a picture the pixels are laid over directly: Qt's painter
        // would hand a block this size to its thread pool and wait for it,
        // which costs more than the blending itself.
        QImage& image = targetPicture->Impl().MutableImage();
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
