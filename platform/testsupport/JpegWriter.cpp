#include "platform/testsupport/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "platform/qt/PictureImpl.h"

namespace fw {

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
