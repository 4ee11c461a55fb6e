// The picture library: JPEG decoding, quarter and half turns and screen
// capture, found by the framework through the texts of their declarations.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/pictures/JpegDecoder.h"
#include "platform/pictures/PictureData.h"



namespace {

const PictureHost* g_host = nullptr;

// The views that show a decoded photo are at most this many pixels on their
// shorter side, so decoding for display stops reducing there; the rest of the
// pixels are decoded when something asks for them.
constexpr int32_t kDisplayShortSide = 500;
// Larger files are not read into memory at all; no picture within the pixel
// limit needs one this large.
constexpr long kMaxFileBytes = 1L << 30;

using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

Bytes ReadFile(const char* path)
{
    if (!path)
        return nullptr;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return nullptr;
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && size <= kMaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(size_t(size));
        ok = size == 0 || std::fread(bytes->data(), 1, size_t(size), file) == size_t(size);
    }
    std::fclose(file);
    return ok ? bytes : nullptr;
}

// Hands the decoded pixels to a QImage without copying them.
QImage ToImage(jpegdecoder::Image&& decoded)
{
    auto* pixels = new std::vector<uint32_t>(std::move(decoded.pixels));
    QImage image(reinterpret_cast<uchar*>(pixels->data()), decoded.storedWidth, decoded.storedHeight,
        qsizetype(decoded.storedWidth) * 4, QImage::Format_ARGB32_Premultiplied,
        [](void* info) { delete static_cast<std::vector<uint32_t>*>(info); }, pixels);
    if (image.isNull())
        delete pixels;
    return image;
}

QImage DecodeFull(const Bytes& bytes, bool allowDamaged)
{
    jpegdecoder::Options options;
    options.allowDamaged = allowDamaged;
    auto decoded = jpegdecoder::Decode(bytes->data(), bytes->size(), options);
    return decoded ? ToImage(std::move(*decoded)) : QImage();
}

enum class Turn { CounterClockwise, Half, Clockwise };

// Exact permutations of the pixels: nothing is interpolated. The quarter
// turns move blocks of 4 by 4 pixels at a time, read as four short rows and
// written as four short rows of the turned picture, going along bands of
// four rows so the rows being read stay in cache.
#if defined(__SSE2__)
inline void Transpose4(__m128i& r0, __m128i& r1, __m128i& r2, __m128i& r3)
{
    const __m128i t0 = _mm_unpacklo_epi32(r0, r1);
    const __m128i t1 = _mm_unpacklo_epi32(r2, r3);
    const __m128i t2 = _mm_unpackhi_epi32(r0, r1);
    const __m128i t3 = _mm_unpackhi_epi32(r2, r3);
    r0 = _mm_unpacklo_epi64(t0, t1);
    r1 = _mm_unpackhi_epi64(t0, t1);
    r2 = _mm_unpacklo_epi64(t2, t3);
    r3 = _mm_unpackhi_epi64(t2, t3);
}
#endif

QImage TurnImage(const QImage& source, Turn turn)
{
    if (source.isNull())
        return source;
    const QImage in = source.format() == QImage::Format_ARGB32_Premultiplied
        ? source
        : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = in.width(), h = in.height();
    const bool swaps = turn != Turn::Half;
    QImage out(swaps ? h : w, swaps ? w : h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const uchar* inBits = in.constBits();
    uchar* outBits = out.bits();
    const qsizetype inStride = in.bytesPerLine();
    const qsizetype outStride = out.bytesPerLine();
    auto inRow = [inBits, inStride](int y) { return reinterpret_cast<const uint32_t*>(inBits + inStride * y); };
    auto outRow = [outBits, outStride](int y) { return reinterpret_cast<uint32_t*>(outBits + outStride * y); };

    if (turn == Turn::Half) {
        for (int y = 0; y < h; ++y) {
            const uint32_t* row = inRow(y);
            uint32_t* target = outRow(h - 1 - y);
            int x = 0;
#if defined(__SSE2__)
            for (; x + 4 <= w; x += 4) {
                const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(target + (w - 4 - x)), _mm_shuffle_epi32(p, 0x1B));
            }
#endif
            for (; x < w; ++x)
                target[w - 1 - x] = row[x];
        }
        return out;
    }

    // Where the pixel at (x, y) goes: counter-clockwise to (y, w - 1 - x),
    // clockwise to (h - 1 - y, x).
    const bool clockwise = turn == Turn::Clockwise;
    auto place = [&](int x, int y, uint32_t pixel) {
        if (clockwise)
            outRow(x)[h - 1 - y] = pixel;
        else
            outRow(w - 1 - x)[y] = pixel;
    };
    const int fullW = w & ~3, fullH = h & ~3;
    for (int y0 = 0; y0 < fullH; y0 += 4) {
        const uint32_t* rows[4] = { inRow(y0), inRow(y0 + 1), inRow(y0 + 2), inRow(y0 + 3) };
        for (int x0 = 0; x0 < fullW; x0 += 4) {
#if defined(__SSE2__)
            __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + x0));
            __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[1] + x0));
            __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2] + x0));
            __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[3] + x0));
            if (clockwise) {
                // Column x0 + i, read bottom to top, is row x0 + i from
                // column h - 4 - y0 on.
                Transpose4(r3, r2, r1, r0);
                const int column = h - 4 - y0;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(x0) + column), r3);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(x0 + 1) + column), r2);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(x0 + 2) + column), r1);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(x0 + 3) + column), r0);
            } else {
                // Column x0 + i, read top to bottom, is row w - 1 - x0 - i
                // from column y0 on.
                Transpose4(r0, r1, r2, r3);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(w - 1 - x0) + y0), r0);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(w - 2 - x0) + y0), r1);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(w - 3 - x0) + y0), r2);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(outRow(w - 4 - x0) + y0), r3);
            }
#else
            for (int dy = 0; dy < 4; ++dy)
                for (int dx = 0; dx < 4; ++dx)
                    place(x0 + dx, y0 + dy, rows[dy][x0 + dx]);
#endif
        }
        // The columns right of the last whole block.
        for (int dy = 0; dy < 4; ++dy)
            for (int x = fullW; x < w; ++x)
                place(x, y0 + dy, rows[dy][x]);
    }
    // The rows below the last whole block.
    for (int y = fullH; y < h; ++y) {
        const uint32_t* row = inRow(y);
        for (int x = 0; x < w; ++x)
            place(x, y, row[x]);
    }
    return out;
}

void* TurnPicture(const void* input, Turn turn)
{
    const auto* picture = static_cast<const PictureData*>(input);
    if (!picture || picture->stored.isNull())
        return nullptr;
    auto* result = new PictureData;
    const bool swaps = turn != Turn::Half;
    result->width = swaps ? picture->height : picture->width;
    result->height = swaps ? picture->width : picture->height;
    result->stored = TurnImage(picture->stored, turn);
    if (result->stored.isNull()) {
        delete result;
        return nullptr;
    }
    // A picture still waiting for its full-size pixels turns them when
    // they come.
    if (picture->decodeFull) {
        auto full = picture->decodeFull;
        result->decodeFull = [full, turn]() { return TurnImage(full(), turn); };
    }
    return result;
}

} // namespace

TAVRINE_EXPORT void* TavrineOpenAsJPEG(const char* path, bool allowDamaged)
{
    const Bytes bytes = ReadFile(path);
    if (!bytes)
        return nullptr;
    jpegdecoder::Options options;
    options.allowDamaged = allowDamaged;
    options.minShortSide = kDisplayShortSide;
    auto decoded = jpegdecoder::Decode(bytes->data(), bytes->size(), options);
    if (!decoded)
        return nullptr;
    auto* picture = new PictureData;
    picture->width = decoded->width;
    picture->height = decoded->height;
    picture->stored = ToImage(std::move(*decoded));
    if (picture->stored.isNull()) {
        delete picture;
        return nullptr;
    }
    if (picture->Reduced())
        picture->decodeFull = [bytes, allowDamaged]() { return DecodeFull(bytes, allowDamaged); };
    return picture;
}

TAVRINE_EXPORT void* TavrineRotate90(const void* picture)
{
    return TurnPicture(picture, Turn::CounterClockwise);
}

TAVRINE_EXPORT void* TavrineRotate180(const void* picture)
{
    return TurnPicture(picture, Turn::Half);
}

TAVRINE_EXPORT void* TavrineRotate270(const void* picture)
{
    return TurnPicture(picture, Turn::Clockwise);
}

TAVRINE_EXPORT void* TavrineScreenshotRect(int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (!g_host || !g_host->captureScreen)
        return nullptr;
    return g_host->captureScreen(left, top, width, height);
}

TAVRINE_EXPORT void TavrinePluginAttach(const PictureHost* host)
{
    g_host = host;
}

TAVRINE_PLUGIN_TABLE(PictureFunctions {
    .OpenAsJPEGMBS = &TavrineOpenAsJPEG,
    .Rotate90MBS = &TavrineRotate90,
    .Rotate180MBS = &TavrineRotate180,
    .Rotate270MBS = &TavrineRotate270,
    .ScreenshotRectMBS = &TavrineScreenshotRect,
})
