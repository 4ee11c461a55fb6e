#include "platform/pictures/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace jpegdecoder {

namespace {

// Damaged progressive files can declare scan after scan; real ones have a
// dozen or so. Past this many the file is treated as broken.
constexpr int kMaxScans = 500;
// What rows the decoder never reached are filled with.
constexpr uint32_t kMissingPixel = 0xFF808080u;

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr J_COLOR_SPACE kPixelSpace = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE kPixelSpace = JCS_EXT_ARGB;
#endif

// libjpeg's error_exit must not return. A C++ exception cannot pass through
// libjpeg's C frames, so a fatal error jumps back to the setjmp in Run.
// Warnings are counted, never printed.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

[[noreturn]] void ExitByJump(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void CountWarnings(j_common_ptr cinfo, int level)
{
    if (level < 0)
        cinfo->err->num_warnings++;
}

void Silent(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo)
{
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxScans)
        ExitByJump(cinfo);
}

// Everything Run works on lives here, outside Run's own frame, so nothing
// is left indeterminate when libjpeg jumps back.
struct Context {
    jpeg_decompress_struct cinfo {};
    ErrorManager errors {};
    jpeg_progress_mgr progress {};
    const uint8_t* data = nullptr;
    size_t size = 0;
    Options options;

    bool headerRead = false;
    bool refused = false;
    bool cmyk = false;
    bool invertedInks = false;
    int orientation = 1;
    int32_t fileWidth = 0;
    int32_t fileHeight = 0;
    int32_t outWidth = 0;
    int32_t outHeight = 0;
    int32_t rowsDone = 0;
    std::vector<uint32_t> pixels;
    std::vector<JSAMPLE> inkRow;
};

// How much the DCT scaling may reduce: the largest of 1/8, 1/4, 1/2 that
// leaves the shorter side at least minShortSide, else 1.
unsigned ScaleDenominator(int32_t width, int32_t height, int32_t minShortSide)
{
    if (minShortSide <= 0)
        return 1;
    const int64_t shorter = std::min(width, height);
    for (unsigned denom : { 8u, 4u, 2u }) {
        if ((shorter + denom - 1) / denom >= minShortSide)
            return denom;
    }
    return 1;
}

// Whether any entropy-coded byte follows the first scan header.
bool HasScanData(const Context& ctx)
{
    const size_t left = ctx.cinfo.src->bytes_in_buffer;
    if (left == 0)
        return false;
    const uint8_t* next = ctx.cinfo.src->next_input_byte;
    return !(left == 2 && next[0] == 0xFF && next[1] == 0xD9);
}

// Turns one row of CMYK inks into pixels. Adobe's files store the inks
// inverted (255 = no ink); others store them plain.
void InksToPixels(const JSAMPLE* inks, uint32_t* out, int32_t width, bool inverted)
{
    for (int32_t x = 0; x < width; ++x) {
        int c = inks[4 * x], m = inks[4 * x + 1], y = inks[4 * x + 2], k = inks[4 * x + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now each value is the share of light left (255 = no ink).
        const uint32_t r = uint32_t((c * k + 127) / 255);
        const uint32_t g = uint32_t((m * k + 127) / 255);
        const uint32_t b = uint32_t((y * k + 127) / 255);
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

int OrientationFromMarkers(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= 6 && std::memcmp(marker->data, "Exif\0\0", 6) == 0)
            return ExifOrientation(marker->data, marker->data_length);
    }
    return 1;
}

// Returns true when decoding ran to the end; false when libjpeg gave up
// (ctx says how far it came).
bool Run(Context& ctx)
{
    if (setjmp(ctx.errors.jump) != 0)
        return false;

    jpeg_create_decompress(&ctx.cinfo);
    // libjpeg's own buffers (whole-image coefficients for progressive
    // files) are capped in proportion to the largest picture allowed; a file
    // that needs more fails instead of taking the memory.
    ctx.cinfo.mem->max_memory_to_use = long(std::min<uint64_t>(ctx.options.maxPixels * 10, uint64_t(1) << 40));
    ctx.cinfo.progress = &ctx.progress;
    jpeg_mem_src(&ctx.cinfo, ctx.data, static_cast<unsigned long>(ctx.size));
    jpeg_save_markers(&ctx.cinfo, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&ctx.cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    ctx.headerRead = true;
    ctx.fileWidth = int32_t(ctx.cinfo.image_width);
    ctx.fileHeight = int32_t(ctx.cinfo.image_height);
    if (ctx.fileWidth <= 0 || ctx.fileHeight <= 0
        || uint64_t(ctx.fileWidth) * uint64_t(ctx.fileHeight) > ctx.options.maxPixels || !HasScanData(ctx)) {
        ctx.refused = true;
        return false;
    }
    ctx.orientation = OrientationFromMarkers(ctx.cinfo);

    if (ctx.cinfo.jpeg_color_space == JCS_CMYK || ctx.cinfo.jpeg_color_space == JCS_YCCK) {
        ctx.cmyk = true;
        ctx.invertedInks = ctx.cinfo.saw_Adobe_marker;
        ctx.cinfo.out_color_space = JCS_CMYK;
    } else {
        ctx.cinfo.out_color_space = kPixelSpace;
    }
    ctx.cinfo.scale_num = 1;
    ctx.cinfo.scale_denom = ScaleDenominator(ctx.fileWidth, ctx.fileHeight, ctx.options.minShortSide);
    jpeg_calc_output_dimensions(&ctx.cinfo);
    ctx.outWidth = int32_t(ctx.cinfo.output_width);
    ctx.outHeight = int32_t(ctx.cinfo.output_height);
    ctx.pixels.assign(size_t(ctx.outWidth) * size_t(ctx.outHeight), kMissingPixel);
    if (ctx.cmyk)
        ctx.inkRow.resize(size_t(ctx.outWidth) * 4);

    jpeg_start_decompress(&ctx.cinfo);
    if (int32_t(ctx.cinfo.output_width) != ctx.outWidth || int32_t(ctx.cinfo.output_height) != ctx.outHeight
        || ctx.cinfo.output_components != 4)
        return false;

    while (ctx.cinfo.output_scanline < ctx.cinfo.output_height) {
        const int32_t row = int32_t(ctx.cinfo.output_scanline);
        uint32_t* target = ctx.pixels.data() + size_t(row) * size_t(ctx.outWidth);
        if (ctx.cmyk) {
            JSAMPROW rows[1] = { ctx.inkRow.data() };
            if (jpeg_read_scanlines(&ctx.cinfo, rows, 1) != 1)
                return false;
            InksToPixels(ctx.inkRow.data(), target, ctx.outWidth, ctx.invertedInks);
        } else {
            // Several rows per call spare libjpeg its own row buffering.
            JSAMPROW rows[16];
            const int32_t count = std::min<int32_t>(16, ctx.outHeight - row);
            for (int32_t i = 0; i < count; ++i)
                rows[i] = reinterpret_cast<JSAMPROW>(target + size_t(i) * size_t(ctx.outWidth));
            if (jpeg_read_scanlines(&ctx.cinfo, rows, JDIMENSION(count)) == 0)
                return false;
        }
        ctx.rowsDone = int32_t(ctx.cinfo.output_scanline);
    }
    jpeg_finish_decompress(&ctx.cinfo);
    return true;
}

uint16_t Read16(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? uint16_t((p[0] << 8) | p[1]) : uint16_t((p[1] << 8) | p[0]);
}

uint32_t Read32(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]
                     : (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

} // namespace

int ExifOrientation(const uint8_t* exif, size_t size)
{
    if (!exif || size < 6 + 8 || std::memcmp(exif, "Exif\0\0", 6) != 0)
        return 1;
    const uint8_t* tiff = exif + 6;
    const size_t tiffSize = size - 6;
    bool bigEndian;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        bigEndian = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I')
        bigEndian = false;
    else
        return 1;
    if (Read16(tiff + 2, bigEndian) != 42)
        return 1;
    const uint64_t ifd = Read32(tiff + 4, bigEndian);
    if (ifd + 2 > tiffSize)
        return 1;
    const uint32_t entries = Read16(tiff + ifd, bigEndian);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t entry = ifd + 2 + uint64_t(i) * 12;
        if (entry + 12 > tiffSize)
            return 1;
        const uint8_t* e = tiff + entry;
        if (Read16(e, bigEndian) != 0x0112)
            continue;
        // SHORT, one value, held in the first two bytes of the value field.
        if (Read16(e + 2, bigEndian) != 3 || Read32(e + 4, bigEndian) < 1)
            return 1;
        const int value = Read16(e + 8, bigEndian);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

void Orient(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height, int orientation)
{
    if (orientation <= 1 || orientation > 8 || pixels.size() != size_t(width) * size_t(height))
        return;
    const size_t w = size_t(width), h = size_t(height);
    auto at = [&](size_t x, size_t y) { return pixels[y * w + x]; };
    if (orientation == 2) {
        for (size_t y = 0; y < h; ++y)
            std::reverse(pixels.begin() + std::ptrdiff_t(y * w), pixels.begin() + std::ptrdiff_t((y + 1) * w));
        return;
    }
    if (orientation == 3) {
        std::reverse(pixels.begin(), pixels.end());
        return;
    }
    if (orientation == 4) {
        for (size_t y = 0; y < h / 2; ++y)
            std::swap_ranges(pixels.begin() + std::ptrdiff_t(y * w), pixels.begin() + std::ptrdiff_t((y + 1) * w),
                pixels.begin() + std::ptrdiff_t((h - 1 - y) * w));
        return;
    }
    // The rest swap width and height: out is h wide and w high.
    std::vector<uint32_t> out(pixels.size());
    for (size_t y = 0; y < w; ++y) {
        uint32_t* row = out.data() + y * h;
        for (size_t x = 0; x < h; ++x) {
            switch (orientation) {
            case 5: row[x] = at(y, x); break; // transpose
            case 6: row[x] = at(y, h - 1 - x); break; // a quarter turn clockwise
            case 7: row[x] = at(w - 1 - y, h - 1 - x); break; // transverse
            default: row[x] = at(w - 1 - y, x); break; // 8: a quarter turn counter-clockwise
            }
        }
    }
    pixels = std::move(out);
    std::swap(width, height);
}

std::optional<Image> Decode(const uint8_t* data, size_t size, const Options& options)
{
    // Every JPEG starts with SOI; checking it here keeps libjpeg from
    // looking at other files at all.
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return std::nullopt;

    Context ctx;
    ctx.data = data;
    ctx.size = size;
    ctx.options = options;
    ctx.cinfo.err = jpeg_std_error(&ctx.errors.pub);
    ctx.errors.pub.error_exit = ExitByJump;
    ctx.errors.pub.emit_message = CountWarnings;
    ctx.errors.pub.output_message = Silent;
    ctx.progress.progress_monitor = LimitScans;

    const bool finished = Run(ctx);
    const bool damaged = !finished || ctx.errors.pub.num_warnings > 0;
    jpeg_destroy_decompress(&ctx.cinfo);

    if (!ctx.headerRead || ctx.refused)
        return std::nullopt;
    if (damaged && !options.allowDamaged)
        return std::nullopt;
    // A decode that stopped before its first row holds nothing of the picture.
    if (!finished && ctx.rowsDone == 0)
        return std::nullopt;

    Image image;
    image.damaged = damaged;
    image.storedWidth = ctx.outWidth;
    image.storedHeight = ctx.outHeight;
    image.pixels = std::move(ctx.pixels);
    Orient(image.pixels, image.storedWidth, image.storedHeight, ctx.orientation);
    image.width = ctx.fileWidth;
    image.height = ctx.fileHeight;
    if (ctx.orientation >= 5)
        std::swap(image.width, image.height);
    return image;
}

} // namespace jpegdecoder
