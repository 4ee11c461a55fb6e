// JPEG decoding through the picture library: colour models, orientation,
// reduced decoding for display with full pixels on demand, and every kind of
// bad file the open dialog can reach.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PictureTestSupport.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"
#include "platform/testsupport/JpegWriter.h"
#include "platform/qt/PictureImpl.h"

using namespace picturetest;

namespace {

// Position of the first marker FF `code`, or npos.
size_t FindMarker(const std::vector<uint8_t>& bytes, uint8_t code)
{
    for (size_t i = 2; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == code)
            return i;
    }
    return std::string::npos;
}

// Where the entropy-coded data of the first scan begins.
size_t ScanDataStart(const std::vector<uint8_t>& bytes)
{
    const size_t sos = FindMarker(bytes, 0xDA);
    if (sos == std::string::npos)
        return sos;
    return sos + 2 + size_t((bytes[sos + 2] << 8) | bytes[sos + 3]);
}

// Rewrites the frame header's height and width.
void SetFrameSize(std::vector<uint8_t>& bytes, uint16_t width, uint16_t height)
{
    const size_t sof = FindMarker(bytes, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    bytes[sof + 5] = uint8_t(height >> 8);
    bytes[sof + 6] = uint8_t(height);
    bytes[sof + 7] = uint8_t(width >> 8);
    bytes[sof + 8] = uint8_t(width);
}

class JpegTest : public testing::Test {
protected:
    std::string Write(const std::shared_ptr<fw::Picture>& picture, const std::string& name,
        const fw::JpegWriteOptions& options = {})
    {
        const std::string path = m_folder.File(name);
        EXPECT_TRUE(fw::SavePictureJPEG(*picture, path, options));
        return path;
    }
    std::string WriteBytesTo(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = m_folder.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    TempFolder m_folder;
};

// Expects the grid's colours at the centres of its cells.
void ExpectGrid(const fw::Picture& picture, int cell, int tolerance)
{
    for (int row = 0; row < picture.Height() / cell; ++row) {
        for (int column = 0; column < picture.Width() / cell; ++column) {
            const uint32_t pixel = picture.Pixel(column * cell + cell / 2, row * cell + cell / 2);
            ASSERT_TRUE(Near(pixel, CellColour(column, row), tolerance))
                << "cell " << column << "," << row << " is " << Hex(pixel) << ", not " << Hex(CellColour(column, row));
            ASSERT_EQ(pixel >> 24, 0xFFu);
        }
    }
}

} // namespace

TEST_F(JpegTest, ColourFilesOfEveryCodingDecodeAtTheirOwnSize)
{
    auto grid = GridPicture(300, 200, 50);
    fw::JpegWriteOptions progressive;
    progressive.Progressive = true;
    fw::JpegWriteOptions arithmetic;
    arithmetic.Arithmetic = true;
    for (const auto& [name, options] : { std::pair { "baseline.jpg", fw::JpegWriteOptions {} },
             std::pair { "progressive.jpeg", progressive }, std::pair { "arithmetic.jpg", arithmetic } }) {
        SCOPED_TRACE(name);
        auto decoded = Open(Write(grid, name, options));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->Width(), 300);
        EXPECT_EQ(decoded->Height(), 200);
        ExpectGrid(*decoded, 50, 6);
    }
}

TEST_F(JpegTest, GrayscaleAndCmykBecomeRgb)
{
    // Grey levels from black to white across the picture.
    std::vector<uint32_t> ramp(256 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 256; ++x)
            ramp[size_t(y) * 256 + size_t(x)] = 0xFF000000u | uint32_t(x) * 0x010101u;
    fw::JpegWriteOptions gray;
    gray.ColorModel = fw::JpegWriteOptions::Colors::Grayscale;
    auto decodedGray = Open(Write(fw::PictureFromPixels(256, 16, ramp), "gray.jpg", gray));
    ASSERT_TRUE(decodedGray);
    for (int x = 8; x < 256; x += 16) {
        const uint32_t pixel = decodedGray->Pixel(x, 8);
        EXPECT_EQ(Channel(pixel, 16), Channel(pixel, 8));
        EXPECT_EQ(Channel(pixel, 8), Channel(pixel, 0));
        EXPECT_NEAR(Channel(pixel, 0), x, 4) << x;
    }

    // Both ways of storing inks: inverted with Adobe's marker, and plain.
    const uint32_t colours[] = { 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF404040u, 0xFF000000u,
        0xFFC08040u, 0xFF2060A0u };
    std::vector<uint32_t> bands(size_t(8 * 32) * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 8 * 32; ++x)
            bands[size_t(y) * 256 + size_t(x)] = colours[x / 32];
    auto bandPicture = fw::PictureFromPixels(256, 32, bands);
    for (bool inverted : { true, false }) {
        SCOPED_TRACE(inverted ? "Adobe inverted CMYK" : "plain CMYK");
        fw::JpegWriteOptions cmyk;
        cmyk.ColorModel = fw::JpegWriteOptions::Colors::CMYK;
        cmyk.AdobeInverted = inverted;
        auto decoded = Open(Write(bandPicture, inverted ? "adobe.jpg" : "plain.jpg", cmyk));
        ASSERT_TRUE(decoded);
        for (int i = 0; i < 8; ++i) {
            const uint32_t pixel = decoded->Pixel(i * 32 + 16, 16);
            EXPECT_TRUE(Near(pixel, colours[i], 10)) << i << ": " << Hex(pixel) << " for " << Hex(colours[i]);
        }
    }
}

TEST_F(JpegTest, ExifOrientationStandsThePictureUp)
{
    // Quadrants A B over C D, 64 by 32.
    const uint32_t a = 0xFFFF0000u, b = 0xFF00FF00u, c = 0xFF0000FFu, d = 0xFFFFFF00u;
    std::vector<uint32_t> pixels(64 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            pixels[size_t(y) * 64 + size_t(x)] = y < 16 ? (x < 32 ? a : b) : (x < 32 ? c : d);
    auto quadrants = fw::PictureFromPixels(64, 32, pixels);

    struct Case {
        int orientation;
        uint32_t topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        { 1, a, b, c, d }, // as stored
        { 2, b, a, d, c }, // mirrored left to right
        { 3, d, c, b, a }, // half turn
        { 4, c, d, a, b }, // mirrored top to bottom
        { 5, a, c, b, d }, // transposed
        { 6, c, a, d, b }, // quarter turn clockwise
        { 7, d, b, c, a }, // transversed
        { 8, b, d, a, c }, // quarter turn counter-clockwise
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("orientation " + std::to_string(k.orientation));
        fw::JpegWriteOptions options;
        options.ExifOrientation = k.orientation;
        options.Quality = 100;
        auto decoded = Open(Write(quadrants, "o" + std::to_string(k.orientation) + ".jpg", options));
        ASSERT_TRUE(decoded);
        const bool turned = k.orientation >= 5;
        ASSERT_EQ(decoded->Width(), turned ? 32 : 64);
        ASSERT_EQ(decoded->Height(), turned ? 64 : 32);
        const int w = decoded->Width(), h = decoded->Height();
        EXPECT_TRUE(Near(decoded->Pixel(4, 4), k.topLeft, 12)) << Hex(decoded->Pixel(4, 4));
        EXPECT_TRUE(Near(decoded->Pixel(w - 5, 4), k.topRight, 12)) << Hex(decoded->Pixel(w - 5, 4));
        EXPECT_TRUE(Near(decoded->Pixel(4, h - 5), k.bottomLeft, 12)) << Hex(decoded->Pixel(4, h - 5));
        EXPECT_TRUE(Near(decoded->Pixel(w - 5, h - 5), k.bottomRight, 12)) << Hex(decoded->Pixel(w - 5, h - 5));
    }

    // An Exif block whose directory points past its end is ignored.
    fw::JpegWriteOptions six;
    six.ExifOrientation = 6;
    auto bytes = ReadBytes(Write(quadrants, "six.jpg", six));
    const size_t app1 = FindMarker(bytes, 0xE1);
    ASSERT_NE(app1, std::string::npos);
    // FF E1, length, "Exif\0\0", "MM", 42, then the directory's offset.
    for (size_t i = 0; i < 4; ++i)
        bytes[app1 + 4 + 6 + 4 + i] = 0xF0;
    auto ignored = Open(WriteBytesTo("bad-exif.jpg", bytes));
    ASSERT_TRUE(ignored);
    EXPECT_EQ(ignored->Width(), 64);
}

TEST_F(JpegTest, LargePhotoIsHeldReducedAndGivesFullPixelsOnDemand)
{
    // Light grid with one dark pixel and a dark last column; 1600 high, so
    // the display decode can halve it and keep 800 rows.
    std::vector<uint32_t> pixels(size_t(2400) * 1600);
    for (int y = 0; y < 1600; ++y)
        for (int x = 0; x < 2400; ++x)
            pixels[size_t(y) * 2400 + size_t(x)] = x == 2399 ? 0xFF000000u : 0xFFE0E0E0u;
    for (int y = 1230; y < 1234; ++y)
        for (int x = 777; x < 781; ++x)
            pixels[size_t(y) * 2400 + size_t(x)] = 0xFF000000u;
    fw::JpegWriteOptions best;
    best.Quality = 100;
    const std::string path = Write(fw::PictureFromPixels(2400, 1600, pixels), "large.jpg", best);

    auto forDrawing = Open(path);
    auto forPixels = Open(path);
    ASSERT_TRUE(forDrawing && forPixels);
    EXPECT_EQ(forDrawing->Width(), 2400);
    EXPECT_EQ(forDrawing->Height(), 1600);
    EXPECT_TRUE(forDrawing->Impl().Data().Reduced());
    EXPECT_EQ(forDrawing->Impl().Data().stored.height(), 800);

    // Shrinking onto a board needs no more than the reduced pixels.
    auto board = fw::NewPicture(500, 500, 32);
    board->GetGraphics()->DrawPicture(forDrawing, 0, 0, 500, 500, 0, 0, 1600, 1600);
    EXPECT_TRUE(forDrawing->Impl().Data().Reduced());

    // Pixel reads the file's own pixels: the 4 by 4 dark square is exact.
    EXPECT_LT(Channel(forPixels->Pixel(778, 1231), 8), 40);
    EXPECT_GT(Channel(forPixels->Pixel(772, 1231), 8), 200);
    EXPECT_GT(Channel(forPixels->Pixel(778, 1238), 8), 200);
    EXPECT_LT(Channel(forPixels->Pixel(2399, 5), 8), 40);
    EXPECT_FALSE(forPixels->Impl().Data().Reduced());

    // The board drawn from the full pixels agrees with the one drawn from
    // the reduced ones.
    auto reference = fw::NewPicture(500, 500, 32);
    reference->GetGraphics()->DrawPicture(forPixels, 0, 0, 500, 500, 0, 0, 1600, 1600);
    long difference = 0;
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 500; ++x)
            difference += std::abs(Channel(board->Pixel(x, y), 8) - Channel(reference->Pixel(x, y), 8));
    EXPECT_LT(double(difference) / (500.0 * 500.0), 1.0);
    // The dark square lands at 0.3125 of its place on both.
    EXPECT_LT(Channel(board->Pixel(243, 384), 8), 200);

    // A reduced picture turned still brings the right full pixels.
    auto turned = Turn(Library::Get().Rotate270MBS, Open(path));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->Width(), 1600);
    EXPECT_EQ(turned->Height(), 2400);
    EXPECT_TRUE(turned->Impl().Data().Reduced());
    // Clockwise: (x, y) goes to (1599 - y, x).
    EXPECT_LT(Channel(turned->Pixel(1599 - 1231, 778), 8), 40);
    EXPECT_LT(Channel(turned->Pixel(1599 - 5, 2399), 8), 40);
}

TEST_F(JpegTest, TinyAndNarrowPicturesKeepEveryPixel)
{
    auto one = Open(Write(PlainPicture(1, 1, 0xFF3060C0u), "one.jpg"));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Width(), 1);
    EXPECT_EQ(one->Height(), 1);
    EXPECT_TRUE(Near(one->Pixel(0, 0), 0xFF3060C0u, 8)) << Hex(one->Pixel(0, 0));

    auto narrow = Open(Write(GridPicture(7, 5000, 100), "narrow.jpg"));
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->Width(), 7);
    EXPECT_EQ(narrow->Height(), 5000);
    EXPECT_FALSE(narrow->Impl().Data().Reduced());
    EXPECT_TRUE(Near(narrow->Pixel(3, 4950), CellColour(0, 49), 10));
}

TEST_F(JpegTest, FilesThatAreNoJpegGiveNil)
{
    auto grid = GridPicture(64, 64, 16);
    ASSERT_TRUE(fw::SavePicturePNG(*grid, m_folder.File("picture.png")));
    const std::vector<uint8_t> png = ReadBytes(m_folder.File("picture.png"));
    const std::string text = "This is a text file, not a picture.\n";
    const auto good = ReadBytes(Write(grid, "good.jpg"));
    const size_t scan = ScanDataStart(good);
    ASSERT_NE(scan, std::string::npos);

    std::vector<uint8_t> twelveBit = good;
    twelveBit[FindMarker(good, 0xC0) + 4] = 12;
    std::vector<uint8_t> soiOnly = { 0xFF, 0xD8, 0xFF, 0xD9 };
    std::vector<uint8_t> soiGarbage = { 0xFF, 0xD8 };
    for (int i = 0; i < 4000; ++i)
        soiGarbage.push_back(uint8_t(i * 7919 % 251));

    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        { "empty.jpg", {} },
        { "png.jpg", png },
        { "text.jpg", std::vector<uint8_t>(text.begin(), text.end()) },
        { "header-only.jpg", std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(scan)) },
        { "header-then-end.jpg", [&] {
             auto bytes = std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(scan));
             bytes.push_back(0xFF);
             bytes.push_back(0xD9);
             return bytes;
         }() },
        { "cut-in-header.jpg", std::vector<uint8_t>(good.begin(), good.begin() + 40) },
        { "soi-only.jpg", soiOnly },
        { "soi-garbage.jpg", soiGarbage },
        { "twelve-bit.jpg", twelveBit },
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Open(WriteBytesTo(name, bytes)));
    }
    EXPECT_FALSE(Open(m_folder.File("no-such-file.jpg")));
    EXPECT_FALSE(Open(m_folder.File("")));
}

TEST_F(JpegTest, DamagedFilesShowWhatTheyHoldWhenAllowed)
{
    auto grid = GridPicture(320, 320, 32);
    const auto good = ReadBytes(Write(grid, "good.jpg"));
    const size_t scan = ScanDataStart(good);

    // Cut halfway through the scan: the top rows are there, the rest grey.
    const std::vector<uint8_t> truncated(good.begin(), good.begin() + std::ptrdiff_t(scan + (good.size() - scan) / 2));
    const std::string truncatedPath = WriteBytesTo("truncated.jpg", truncated);
    auto partial = Open(truncatedPath, true);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->Width(), 320);
    EXPECT_EQ(partial->Height(), 320);
    EXPECT_TRUE(Near(partial->Pixel(16, 16), CellColour(0, 0), 8));
    EXPECT_TRUE(Near(partial->Pixel(300, 310), 0xFF808080u, 8)) << Hex(partial->Pixel(300, 310));
    EXPECT_FALSE(Open(truncatedPath, false));

    // Bytes scrambled in the middle of the scan: still a picture of the
    // right size, never a failure of the process.
    std::vector<uint8_t> corrupted = good;
    for (size_t i = scan + (good.size() - scan) / 3; i < scan + (good.size() - scan) / 3 + 200; ++i)
        corrupted[i] = corrupted[i] == 0xFF ? 0x00 : uint8_t(corrupted[i] ^ 0x5A) == 0xFF ? 0x12 : uint8_t(corrupted[i] ^ 0x5A);
    auto scrambled = Open(WriteBytesTo("corrupted.jpg", corrupted), true);
    ASSERT_TRUE(scrambled);
    EXPECT_EQ(scrambled->Width(), 320);
    EXPECT_TRUE(Near(scrambled->Pixel(16, 16), CellColour(0, 0), 8));
}

TEST_F(JpegTest, PicturesOverOneHundredMegapixelsAreRefused)
{
    // Headers that claim sizes over the data of a small file.
    const auto small = ReadBytes(Write(GridPicture(64, 64, 16), "small.jpg"));
    auto claim = [&](uint16_t width, uint16_t height) {
        std::vector<uint8_t> bytes = small;
        SetFrameSize(bytes, width, height);
        return WriteBytesTo("claim.jpg", bytes);
    };
    EXPECT_FALSE(Open(claim(65000, 65000)));
    EXPECT_FALSE(Open(claim(10001, 10000)));

    // Exactly one hundred megapixels is allowed: the data runs out and the
    // rest is grey, but the picture keeps the size the header gives.
    auto limit = Open(claim(10000, 10000));
    ASSERT_TRUE(limit);
    EXPECT_EQ(limit->Width(), 10000);
    EXPECT_EQ(limit->Height(), 10000);
    EXPECT_TRUE(limit->Impl().Data().Reduced());
}
