#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// JPEG decoding with libjpeg-turbo into plain 32-bit pixels. No Qt here, so
// the fuzz build can link this file alone.
namespace jpegdecoder {

// Pictures with more pixels than this are refused before anything is
// allocated for them.
constexpr uint64_t kMaxPixels = 100'000'000;

struct Options {
    // Decode what damaged data holds instead of refusing the file.
    bool allowDamaged = true;
    // 0 decodes every pixel. Otherwise the decoder may use libjpeg's DCT
    // scaling (1/2, 1/4, 1/8) as far as the shorter side keeps at least this
    // many pixels.
    int32_t minShortSide = 0;
    uint64_t maxPixels = kMaxPixels;
};

struct Image {
    // The picture's size after its Exif orientation is applied.
    int32_t width = 0;
    int32_t height = 0;
    // The decoded pixels; smaller than width by height when DCT scaling was
    // used (same orientation).
    int32_t storedWidth = 0;
    int32_t storedHeight = 0;
    // 0xAARRGGBB, opaque, row after row.
    std::vector<uint32_t> pixels;
    // Warnings came up (corrupt or truncated data).
    bool damaged = false;
};

// nullopt when the data is no JPEG, the header cannot be read, the picture
// is too large, nothing could be decoded, or the data is damaged and
// allowDamaged is false.
std::optional<Image> Decode(const uint8_t* data, size_t size, const Options& options);

// The Exif orientation (1 to 8) of the data's first Exif block, 1 when there
// is none or it cannot be read.
int ExifOrientation(const uint8_t* exif, size_t size);

// Applies an Exif orientation to pixels in place.
void Orient(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height, int orientation);

} // namespace jpegdecoder
