// Pictures and drawing into them: blank pictures, pixel access, and
// DrawPicture's scaling (area averaging when shrinking, smooth when
// enlarging, source rectangles clipped to the picture).
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "PictureTestSupport.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"

using namespace picturetest;

namespace {

std::shared_ptr<fw::Picture> Checkerboard(int side)
{
    std::vector<uint32_t> pixels(size_t(side) * size_t(side));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels[size_t(y) * size_t(side) + size_t(x)] = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    return fw::PictureFromPixels(side, side, pixels);
}

} // namespace

TEST(PictureTest, NewPictureIsTransparentAndPixelChecksItsBounds)
{
    auto picture = fw::NewPicture(30, 20, 32);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 30);
    EXPECT_EQ(picture->Height(), 20);
    EXPECT_EQ(picture->Pixel(0, 0), 0u);
    EXPECT_EQ(picture->Pixel(29, 19), 0u);
    EXPECT_THROW(picture->Pixel(30, 0), fw::OutOfBoundsException);
    EXPECT_THROW(picture->Pixel(0, 20), fw::OutOfBoundsException);
    EXPECT_THROW(picture->Pixel(-1, 5), fw::OutOfBoundsException);

    // Sizes that cannot hold a pixel make an empty picture, not a failure.
    auto empty = fw::NewPicture(0, -4, 32);
    EXPECT_EQ(empty->Width(), 0);
    EXPECT_THROW(empty->Pixel(0, 0), fw::OutOfBoundsException);
}

TEST(PictureTest, ShrinkingAveragesTheCoveredArea)
{
    // Sampling would pick black or white pixels; averaging gives mid grey.
    auto checks = Checkerboard(400);
    auto target = fw::NewPicture(100, 100, 32);
    target->GetGraphics()->DrawPicture(checks, 0, 0, 100, 100, 0, 0, 400, 400);
    for (int y = 0; y < 100; y += 7) {
        for (int x = 0; x < 100; x += 7) {
            const uint32_t pixel = target->Pixel(x, y);
            ASSERT_TRUE(Near(pixel, 0xFF808080u, 3)) << x << "," << y << " is " << Hex(pixel);
            ASSERT_EQ(pixel >> 24, 0xFFu);
        }
    }

    // A non-integral reduction (as a photo's shorter side onto the board).
    auto odd = fw::NewPicture(77, 77, 32);
    odd->GetGraphics()->DrawPicture(checks, 0, 0, 77, 77, 0, 0, 400, 400);
    EXPECT_TRUE(Near(odd->Pixel(38, 38), 0xFF808080u, 8)) << Hex(odd->Pixel(38, 38));
}

TEST(PictureTest, OneToOneCopiesExactlyAndEnlargingInterpolates)
{
    auto grid = GridPicture(60, 40, 10);
    auto copy = fw::NewPicture(60, 40, 32);
    copy->GetGraphics()->DrawPicture(grid, 0, 0, 60, 40, 0, 0, 60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(copy->Pixel(x, y), grid->Pixel(x, y)) << x << "," << y;

    // Two cells enlarged ten times: the far ends keep their colours and the
    // seam between them is a blend, not a hard step.
    auto pair = GridPicture(2, 1, 1);
    auto wide = fw::NewPicture(200, 10, 32);
    wide->GetGraphics()->DrawPicture(pair, 0, 0, 200, 10, 0, 0, 2, 1);
    EXPECT_TRUE(Near(wide->Pixel(0, 5), CellColour(0, 0), 1));
    EXPECT_TRUE(Near(wide->Pixel(199, 5), CellColour(1, 0), 1));
    const int seamRed = Channel(wide->Pixel(100, 5), 16);
    EXPECT_GT(seamRed, Channel(CellColour(0, 0), 16) + 5);
    EXPECT_LT(seamRed, Channel(CellColour(1, 0), 16) - 5);
}

TEST(PictureTest, SourceRectangleAndPlacementAreHonoured)
{
    auto grid = GridPicture(100, 100, 10);
    auto target = fw::NewPicture(50, 50, 32);
    // Cell (3, 2) alone, drawn 2:1 at (10, 20).
    target->GetGraphics()->DrawPicture(grid, 10, 20, 20, 20, 30, 20, 10, 10);
    EXPECT_EQ(target->Pixel(10, 20), CellColour(3, 2));
    EXPECT_EQ(target->Pixel(29, 39), CellColour(3, 2));
    EXPECT_EQ(target->Pixel(9, 20), 0u);
    EXPECT_EQ(target->Pixel(30, 30), 0u);
    EXPECT_EQ(target->Pixel(20, 40), 0u);
}

TEST(PictureTest, SourceBeyondThePictureIsClippedInProportion)
{
    // The last 10 columns asked for twice over: only the 10 that exist are
    // drawn, at the same scale, and the rest of the target stays untouched.
    auto grid = GridPicture(100, 10, 10);
    auto target = fw::NewPicture(40, 10, 32);
    target->GetGraphics()->DrawPicture(grid, 0, 0, 40, 10, 90, 0, 20, 10);
    EXPECT_EQ(target->Pixel(0, 5), CellColour(9, 0));
    EXPECT_EQ(target->Pixel(19, 5), CellColour(9, 0));
    EXPECT_EQ(target->Pixel(20, 5), 0u);
    EXPECT_EQ(target->Pixel(39, 5), 0u);

    // Entirely outside, or empty: nothing is drawn and nothing fails.
    target->GetGraphics()->DrawPicture(grid, 0, 0, 40, 10, 500, 500, 10, 10);
    target->GetGraphics()->DrawPicture(grid, 0, 0, 0, 10, 0, 0, 10, 10);
    target->GetGraphics()->DrawPicture(grid, 0, 0, 40, 10, 0, 0, -5, 10);
    EXPECT_EQ(target->Pixel(39, 5), 0u);
}

TEST(PictureTest, NilPictureRaisesAndGoneTargetIsHarmless)
{
    auto target = fw::NewPicture(10, 10, 32);
    auto graphics = target->GetGraphics();
    EXPECT_THROW(graphics->DrawPicture(nullptr, 0, 0, 10, 10, 0, 0, 10, 10), fw::NilObjectException);

    // A Graphics kept after its picture is released draws nothing.
    target.reset();
    graphics->DrawPicture(GridPicture(10, 10, 5), 0, 0, 10, 10, 0, 0, 10, 10);
    graphics->DrawString("gone", 0, 8);
    EXPECT_EQ(graphics->Width(), 0);
}

TEST(PictureTest, DrawingIntoItselfReadsTheOldPixels)
{
    auto grid = GridPicture(20, 10, 10);
    grid->GetGraphics()->DrawPicture(grid, 10, 0, 10, 10, 0, 0, 10, 10);
    EXPECT_EQ(grid->Pixel(15, 5), CellColour(0, 0));
    EXPECT_EQ(grid->Pixel(5, 5), CellColour(0, 0));
}

TEST(PictureTest, DrawStringPutsTextOnTheBaselineInTheForeColour)
{
    auto target = fw::NewPicture(200, 60, 32);
    auto g = target->GetGraphics();
    g->SetTextFont("Arial");
    g->SetTextSize(24);
    g->SetBold(true);
    g->SetForeColor(fw::RGB(255, 0, 0));
    EXPECT_EQ(g->TextFont(), "Arial");
    EXPECT_EQ(g->TextSize(), 24);
    EXPECT_TRUE(g->Bold());
    g->DrawString("HHHH", 10, 40);
    int inked = 0, below = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            const uint32_t pixel = target->Pixel(x, y);
            if ((pixel >> 24) > 0x80) {
                ++inked;
                if (y > 41)
                    ++below;
            }
            // Edges are blended; the strokes' cores are the fore colour.
            if ((pixel >> 24) == 0xFF) {
                EXPECT_TRUE(Near(pixel, 0xFFFF0000u, 8)) << Hex(pixel);
            }
        }
    }
    EXPECT_GT(inked, 100);
    // Capital H has no descender: nothing lies below the baseline.
    EXPECT_EQ(below, 0);
}

TEST(PictureTest, SavedPngReadsBack)
{
    TempFolder folder;
    auto grid = GridPicture(30, 30, 10);
    ASSERT_TRUE(fw::SavePicturePNG(*grid, folder.File("grid.png")));
    EXPECT_FALSE(fw::SavePicturePNG(*grid, folder.File("missing/folder/grid.png")));
    EXPECT_GT(ReadBytes(folder.File("grid.png")).size(), 8u);
}
