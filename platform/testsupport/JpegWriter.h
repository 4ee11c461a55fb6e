#pragma once

#include <string>

#include "platform/Picture.h"

namespace fw {

// How SavePictureJPEG encodes. Tests and benchmarks make their own JPEG
// files with it, of every kind the decoder must read; the game never writes
// one.
struct JpegWriteOptions {
    enum class Colors { RGB, Grayscale, CMYK };
    int Quality = 92;
    Colors ColorModel = Colors::RGB;
    // CMYK only: store the inks inverted with an Adobe marker, as Photoshop
    // writes them (the usual kind), or plain without one.
    bool AdobeInverted = true;
    bool Progressive = false;
    bool Arithmetic = false;
    // 1 to 8 writes an Exif block with that orientation; 0 writes none.
    int ExifOrientation = 0;
};
// Writes the picture as a JPEG file; False when it cannot be written. CMYK
// takes as much black as the brightest channel allows (k = 255 - max(r, g, b))
// and the rest as cyan, magenta and yellow.
bool SavePictureJPEG(const Picture& picture, const std::string& path, const JpegWriteOptions& options = {});

} // namespace fw
