// The quick paths of picture drawing and turning: whole-number reductions
// must give exactly the box average, one-to-one draws must lay pixels over
// the target as a painter does, and turns of any size stay permutations.
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "PictureTestSupport.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"

using namespace picturetest;

namespace {

// Opaque pixels, all different, with every channel in use; opaque so that the
// premultiplied values the averaging works on equal what Pixel reports.
std::vector<uint32_t> OpaqueNoise(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    uint32_t state = 12345;
    for (auto& pixel : pixels) {
        state = state * 1103515245u + 12345u;
        pixel = 0xFF000000u | (state >> 8 & 0xFFFFFFu);
    }
    return pixels;
}

// The box average of a kx by ky block per target pixel, rounded to nearest.
uint32_t BoxAverage(const std::vector<uint32_t>& pixels, int width, int x, int y, int kx, int ky)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t sum = 0;
        for (int dy = 0; dy < ky; ++dy)
            for (int dx = 0; dx < kx; ++dx)
                sum += pixels[size_t(y * ky + dy) * size_t(width) + size_t(x * kx + dx)] >> shift & 0xFFu;
        const uint32_t count = uint32_t(kx * ky);
        result |= ((sum + count / 2) / count) << shift;
    }
    return result;
}

void ExpectBoxAverages(int destWidth, int destHeight, int kx, int ky)
{
    const int width = destWidth * kx, height = destHeight * ky;
    const auto pixels = OpaqueNoise(width, height);
    auto source = fw::PictureFromPixels(width, height, pixels);
    auto target = fw::NewPicture(destWidth, destHeight, 32);
    target->GetGraphics()->DrawPicture(source, 0, 0, destWidth, destHeight, 0, 0, width, height);
    for (int y = 0; y < destHeight; ++y)
        for (int x = 0; x < destWidth; ++x)
            ASSERT_EQ(target->Pixel(x, y), BoxAverage(pixels, width, x, y, kx, ky))
                << kx << "x" << ky << " reduction, pixel " << x << "," << y;
}

} // namespace

TEST(PictureFastPathTest, WholeNumberReductionsAreExactBoxAverages)
{
    // Halving at widths that are and are not a multiple of four (the halving
    // works four pixels at a time), a 1-pixel result, thirds, and factors
    // that differ across and down.
    ExpectBoxAverages(100, 100, 2, 2);
    ExpectBoxAverages(7, 5, 2, 2);
    ExpectBoxAverages(1, 1, 2, 2);
    ExpectBoxAverages(9, 6, 3, 3);
    ExpectBoxAverages(5, 7, 2, 3);
    ExpectBoxAverages(6, 3, 1, 4);
}

TEST(PictureFastPathTest, ReductionAveragesCoverageNotColour)
{
    // Half of each block transparent, half opaque white: the result is white
    // at half coverage, which Pixel reports premultiplied (0x80808080).
    // Averaging the unpremultiplied values would darken it to a quarter
    // (0x80404040), a dark fringe along every transparent edge.
    std::vector<uint32_t> pixels(4 * 2);
    for (int x = 0; x < 4; ++x) {
        pixels[size_t(x)] = 0x00000000u;
        pixels[size_t(4 + x)] = 0xFFFFFFFFu;
    }
    auto source = fw::PictureFromPixels(4, 2, pixels);
    auto target = fw::NewPicture(2, 1, 32);
    target->GetGraphics()->DrawPicture(source, 0, 0, 2, 1, 0, 0, 4, 2);
    for (int x = 0; x < 2; ++x) {
        const uint32_t pixel = target->Pixel(x, 0);
        EXPECT_TRUE(Near(pixel, 0x80808080u, 1)) << Hex(pixel);
    }
}

TEST(PictureFastPathTest, ReducedDrawingKeepsPlaceAndClips)
{
    // A 2:1 reduction placed partly outside the target: the part inside is
    // drawn where it belongs, nothing else changes, nothing fails.
    auto grid = GridPicture(40, 40, 10);
    auto target = fw::NewPicture(30, 30, 32);
    target->GetGraphics()->DrawPicture(grid, 10, 15, 20, 20, 0, 0, 40, 40);
    EXPECT_EQ(target->Pixel(9, 20), 0u);
    EXPECT_EQ(target->Pixel(10, 15), CellColour(0, 0));
    EXPECT_EQ(target->Pixel(29, 29), CellColour(3, 2));
    target->GetGraphics()->DrawPicture(grid, -15, -5, 20, 20, 0, 0, 40, 40);
    EXPECT_EQ(target->Pixel(0, 0), CellColour(3, 1));
    EXPECT_EQ(target->Pixel(4, 14), CellColour(3, 3));
    EXPECT_EQ(target->Pixel(5, 0), 0u);
}

TEST(PictureFastPathTest, HalvingOntoAPictureLaysEachPixelOverByItsCoverage)
{
    // Halving works on groups of eight result pixels, storing a wholly opaque
    // group, skipping a wholly transparent one and blending the others; 37
    // result columns leave a tail the wide loop does not take. The result is
    // placed partly outside a target that already has content.
    const int resultWidth = 37, resultHeight = 6;
    const int width = 2 * resultWidth, height = 2 * resultHeight;
    enum Kind { Opaque, Clear, Mixed };
    const Kind groups[] = { Mixed, Opaque, Clear, Mixed, Mixed };
    uint32_t state = 777;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t& pixel = pixels[size_t(y) * size_t(width) + size_t(x)];
            switch (groups[x / 16]) {
            case Opaque:
                pixel = 0xFF000000u | (next() & 0xFFFFFFu);
                break;
            case Clear:
                pixel = 0;
                break;
            case Mixed:
                pixel = (next() & 0xFF) << 24 | (next() & 0xFFFFFFu);
                break;
            }
        }
    }
    auto source = fw::PictureFromPixels(width, height, pixels);
    std::vector<uint32_t> stored(pixels.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            stored[size_t(y) * size_t(width) + size_t(x)] = source->Pixel(x, y);

    const int targetWidth = 40, targetHeight = 8, left = 5, top = 3;
    std::vector<uint32_t> ground(size_t(targetWidth) * size_t(targetHeight));
    for (size_t i = 0; i < ground.size(); ++i)
        ground[i] = (i % 3 == 0 ? 0x60000000u : 0xFF000000u) | (next() & 0xFFFFFFu);
    auto target = fw::PictureFromPixels(targetWidth, targetHeight, ground);
    std::vector<uint32_t> before(ground.size());
    for (int y = 0; y < targetHeight; ++y)
        for (int x = 0; x < targetWidth; ++x)
            before[size_t(y) * size_t(targetWidth) + size_t(x)] = target->Pixel(x, y);

    target->GetGraphics()->DrawPicture(source, left, top, resultWidth, resultHeight, 0, 0, width, height);

    for (int y = 0; y < targetHeight; ++y) {
        for (int x = 0; x < targetWidth; ++x) {
            const uint32_t under = before[size_t(y) * size_t(targetWidth) + size_t(x)];
            const uint32_t after = target->Pixel(x, y);
            if (x < left || y < top || x >= left + resultWidth || y >= top + resultHeight) {
                ASSERT_EQ(after, under) << "outside, " << x << "," << y;
                continue;
            }
            const uint32_t average = BoxAverage(stored, width, x - left, y - top, 2, 2);
            const uint32_t alpha = average >> 24;
            if (alpha == 0xFF) {
                ASSERT_EQ(after, average) << x << "," << y;
            } else if (average == 0) {
                ASSERT_EQ(after, under) << x << "," << y;
            } else {
                // Premultiplied "over": the average plus what shows through.
                uint32_t expected = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    const double channel = double(average >> shift & 0xFFu)
                        + double(under >> shift & 0xFFu) * double(0xFFu - alpha) / 255.0;
                    expected |= uint32_t(std::lround(channel)) << shift;
                }
                ASSERT_TRUE(Near(after, expected, 1)) << x << "," << y << ": " << Hex(after) << " not " << Hex(expected);
            }
        }
    }
}

TEST(PictureFastPathTest, DrawingLaysTranslucentPixelsOverTheTarget)
{
    auto target = fw::PictureFromPixels(4, 1, { 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0x00000000u });
    // Opaque red, half red, fully transparent, half red onto nothing.
    auto over = fw::PictureFromPixels(4, 1, { 0xFFFF0000u, 0x80FF0000u, 0x00000000u, 0x80FF0000u });
    target->GetGraphics()->DrawPicture(over, 0, 0, 4, 1, 0, 0, 4, 1);
    EXPECT_EQ(target->Pixel(0, 0), 0xFFFF0000u);
    // Half red over blue: a purple, fully opaque, red and blue near half.
    const uint32_t mixed = target->Pixel(1, 0);
    EXPECT_EQ(mixed >> 24, 0xFFu);
    EXPECT_TRUE(Near(mixed, 0xFF80007Fu, 2)) << Hex(mixed);
    // A transparent pixel leaves the target as it was.
    EXPECT_EQ(target->Pixel(2, 0), 0xFF0000FFu);
    // Onto nothing the pixel stays as it was given (premultiplied, as Pixel
    // reports translucent pixels).
    EXPECT_TRUE(Near(target->Pixel(3, 0), 0x80800000u, 1)) << Hex(target->Pixel(3, 0));
}

TEST(PictureFastPathTest, TurnsOfLargerOddSizesArePermutations)
{
    // Sizes beyond one block of the turning loops and not a multiple of it.
    const auto& lib = Library::Get();
    const int width = 37, height = 23;
    auto picture = fw::PictureFromPixels(width, height, OpaqueNoise(width, height));
    auto left = Turn(lib.Rotate90MBS, picture);
    auto half = Turn(lib.Rotate180MBS, picture);
    auto right = Turn(lib.Rotate270MBS, picture);
    ASSERT_TRUE(left && half && right);
    ASSERT_EQ(left->Width(), height);
    ASSERT_EQ(left->Height(), width);
    ASSERT_EQ(right->Width(), height);
    ASSERT_EQ(half->Height(), height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = picture->Pixel(x, y);
            ASSERT_EQ(left->Pixel(y, width - 1 - x), pixel) << x << "," << y;
            ASSERT_EQ(half->Pixel(width - 1 - x, height - 1 - y), pixel) << x << "," << y;
            ASSERT_EQ(right->Pixel(height - 1 - y, x), pixel) << x << "," << y;
        }
    }
    // A one-pixel-wide strip turns into a one-pixel-high one.
    auto strip = fw::PictureFromPixels(1, 3, { 0xFF000001u, 0xFF000002u, 0xFF000003u });
    auto lying = Turn(lib.Rotate270MBS, strip);
    ASSERT_EQ(lying->Width(), 3);
    EXPECT_EQ(lying->Pixel(0, 0), 0xFF000003u);
    EXPECT_EQ(lying->Pixel(2, 0), 0xFF000001u);
}
