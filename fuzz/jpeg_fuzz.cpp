// Feeds arbitrary bytes to the JPEG decoder the open dialog's files reach.
// The decoder must never crash, read out of bounds or leak, and what it
// returns must be consistent.
#include <cstddef>
#include <cstdint>

#include "platform/pictures/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The input's length picks the options, so every file is tried both
    // ways over a run without changing its bytes.
    jpegdecoder::Options options;
    options.allowDamaged = size % 2 == 0;
    options.minShortSide = size % 4 < 2 ? 0 : 16;
    // A lower ceiling than the game's keeps each run quick; the refusal is
    // the same code.
    options.maxPixels = 4'000'000;

    auto image = jpegdecoder::Decode(data, size, options);
    if (image) {
        const bool consistent = image->width > 0 && image->height > 0 && image->storedWidth > 0
            && image->storedHeight > 0 && image->storedWidth <= image->width && image->storedHeight <= image->height
            && image->pixels.size() == size_t(image->storedWidth) * size_t(image->storedHeight)
            && uint64_t(image->width) * uint64_t(image->height) <= options.maxPixels
            && (options.allowDamaged || !image->damaged);
        if (!consistent)
            __builtin_trap();
        uint32_t opaque = 0xFF000000u;
        for (uint32_t pixel : image->pixels)
            opaque &= pixel;
        if (opaque != 0xFF000000u)
            __builtin_trap();
    }
    // The Exif reader sees whatever an APP1 block holds.
    const int orientation = jpegdecoder::ExifOrientation(data, size);
    if (orientation < 1 || orientation > 8)
        __builtin_trap();
    return 0;
}
