// The picture library: JPEG decoding, quarter and half turns and screen
// capture, found by the framework through the texts of their declarations.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

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

// Exact permutations of the pixels: nothing is interpolated. The loops work
// on the raw rows (one detach, no per-pixel scanLine calls) and the quarter
// turns go in small square tiles, so both the rows read and the columns
// written stay in cache.
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
    auto inRow = [&](int y) { return reinterpret_cast<const QRgb*>(inBits + inStride * y); };
    auto outRow = [&](int y) { return reinterpret_cast<QRgb*>(outBits + outStride * y); };

    if (turn == Turn::Half) {
        for (int y = 0; y < h; ++y) {
            const QRgb* row = inRow(y);
            QRgb* target = outRow(h - 1 - y) + (w - 1);
            for (int x = 0; x < w; ++x)
                *(target - x) = row[x];
        }
        return out;
    }
    constexpr int kTile = 16;
    for (int y0 = 0; y0 < h; y0 += kTile) {
        const int y1 = std::min(h, y0 + kTile);
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int x1 = std::min(w, x0 + kTile);
            for (int y = y0; y < y1; ++y) {
                const QRgb* row = inRow(y);
                if (turn == Turn::CounterClockwise) {
                    // (x, y) goes to (y, w - 1 - x)
                    for (int x = x0; x < x1; ++x)
                        outRow(w - 1 - x)[y] = row[x];
                } else {
                    // (x, y) goes to (h - 1 - y, x)
                    const int column = h - 1 - y;
                    for (int x = x0; x < x1; ++x)
                        outRow(x)[column] = row[x];
                }
            }
        }
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

TAVRINE_EXPORT const PluginEntry* TavrinePluginEntries()
{
    static const PluginEntry entries[] = {
        { "Folderitem.OpenAsJPEGMBS(allowdamaged as Boolean) as picture",
            reinterpret_cast<void*>(&TavrineOpenAsJPEG) },
        { "Picture.Rotate90MBS as picture", reinterpret_cast<void*>(&TavrineRotate90) },
        { "Picture.Rotate180MBS as picture", reinterpret_cast<void*>(&TavrineRotate180) },
        { "Picture.Rotate270MBS as picture", reinterpret_cast<void*>(&TavrineRotate270) },
        { "ScreenshotRectMBS(left as integer, top as integer, width as integer, height as integer) as picture",
            reinterpret_cast<void*>(&TavrineScreenshotRect) },
        { nullptr, nullptr },
    };
    return entries;
}
