// Loading the puzzle picture: the dialog it asks with, the square it takes
// from the chosen photo onto the board and the answer view, and what
// cancelling or an undecodable file leave behind.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GameTestSupport.h"
#include "app/ModuleValues.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "platform/testsupport/JpegWriter.h"
#include "platform/Seams.h"
#include "puzzle/PictureLoading.h"
#include "puzzle/PicturePlugins.h"

namespace {

// Distinct colours for the cells of a generated photo.
constexpr uint32_t Cell(int column, int row)
{
    return 0xFF000000u | uint32_t(30 + (column * 37) % 200) << 16 | uint32_t(30 + (row * 59) % 200) << 8 | 0x80u;
}

int Channel(uint32_t pixel, int shift) { return int((pixel >> shift) & 0xFF); }

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift : { 16, 8, 0 })
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance)
            return false;
    return true;
}

std::string Hex(uint32_t pixel)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", pixel);
    return text;
}

class PictureLoadingTest : public gametest::GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        m_folder = std::filesystem::temp_directory_path() / ("tavrine-loading-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        if (!ImageJpegFileType)
            InitFileTypes();
        W().Canvas1()->SetBackdrop(nullptr);
        W().Canvas2()->SetBackdrop(nullptr);
    }
    void TearDown() override
    {
        GameTest::TearDown();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    // A photo of `cell`-pixel squares, saved as a JPEG.
    std::string GridJpeg(int width, int height, int cell, const std::string& name)
    {
        std::vector<uint32_t> pixels(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * size_t(width) + size_t(x)] = Cell(x / cell, y / cell);
        return Save(fw::PictureFromPixels(width, height, pixels), name);
    }
    std::string Save(const std::shared_ptr<fw::Picture>& picture, const std::string& name, fw::JpegWriteOptions options = {})
    {
        const std::string path = (m_folder / name).string();
        EXPECT_TRUE(fw::SavePictureJPEG(*picture, path, options));
        return path;
    }

    // The dialog chooses `path` ("" cancels); every dialog shown is kept.
    void Choose(const std::string& path)
    {
        fw::Seams::SetOpenDialogAnswer([this, path](const fw::OpenDialog& dialog) {
            m_dialogs.push_back(dialog.Title + "|" + dialog.PromptText + "|" + dialog.Filter);
            return path.empty() ? std::shared_ptr<fw::FolderItem>() : std::make_shared<fw::FolderItem>(path);
        });
    }

    std::shared_ptr<fw::Picture> Board() { return W().Canvas1()->Backdrop(); }
    std::shared_ptr<fw::Picture> Answer() { return W().Canvas2()->Backdrop(); }

    // Expects cell (column, row) of the photo around (x, y) of a view.
    static void ExpectCell(const std::shared_ptr<fw::Picture>& view, int x, int y, int column, int row, int tolerance = 8)
    {
        const uint32_t pixel = view->Pixel(x, y);
        EXPECT_TRUE(Near(pixel, Cell(column, row), tolerance))
            << "(" << x << "," << y << ") is " << Hex(pixel) << ", not cell " << column << "," << row;
    }

    std::filesystem::path m_folder;
    std::vector<std::string> m_dialogs;
};

} // namespace

TEST_F(PictureLoadingTest, AsksForAJpegWithTheGamesTexts)
{
    Choose("");
    LoadPuzzlePicture();
    ASSERT_EQ(m_dialogs.size(), 1u);
    EXPECT_EQ(m_dialogs[0], "Tavrine Image|Select a jpg image to load.|image/jpeg");

    // The filter names the registered type, which takes the four endings in
    // any letter case and nothing else.
    auto type = fw::FindFileType("image/jpeg");
    ASSERT_TRUE(type);
    EXPECT_EQ(type, ImageJpegFileType);
    EXPECT_EQ(type->Extensions(), ".jfif;.jpe;.jpeg;.jpg");
    EXPECT_EQ(type->MacType(), "JPEG");
    EXPECT_EQ(type->MacCreator(), "prvw");
    for (const char* name : { "a.jpg", "B.JPG", "c.Jpeg", "d.jpe", "e.JFIF" })
        EXPECT_TRUE(type->Matches(name)) << name;
    for (const char* name : { "a.png", "jpg", "b.jpg.txt", "c.jpgx" })
        EXPECT_FALSE(type->Matches(name)) << name;
}

TEST_F(PictureLoadingTest, LandscapeShowsItsLeftSquare)
{
    // 1000 by 800 in 100-pixel cells: the board shows the left 800 by 800
    // at 0.625, the answer view the same square at 0.25.
    Choose(GridJpeg(1000, 800, 100, "landscape.jpg"));
    LoadPuzzlePicture();
    EXPECT_TRUE(m_messages.empty());
    ASSERT_TRUE(SourcePicture);
    EXPECT_EQ(SourcePicture->Width(), 1000);
    EXPECT_DOUBLE_EQ(PictureScale, 0.625);
    auto board = Board();
    auto answer = Answer();
    ASSERT_TRUE(board && answer);
    ASSERT_EQ(board->Width(), 500);
    ASSERT_EQ(board->Height(), 500);
    ASSERT_EQ(answer->Width(), 200);
    ASSERT_EQ(answer->Height(), 200);
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            ExpectCell(board, int((column + 0.5) * 62.5), int((row + 0.5) * 62.5), column, row);
            ExpectCell(answer, column * 25 + 12, row * 25 + 12, column, row);
        }
    }
    // The right edge is the end of column 7; columns 8 and 9 are not shown
    // (JPEG's colour blur lets a little of column 8 in at the very edge).
    ExpectCell(board, 499, 281, 7, 4, 16);
    ExpectCell(answer, 199, 112, 7, 4, 16);
}

TEST_F(PictureLoadingTest, PortraitShowsItsTopSquareEnlargedOnTheBoard)
{
    // 250 by 400 in 50-pixel cells: scale 2, the top 250 by 250.
    Choose(GridJpeg(250, 400, 50, "portrait.jpg"));
    LoadPuzzlePicture();
    EXPECT_DOUBLE_EQ(PictureScale, 2.0);
    auto board = Board();
    auto answer = Answer();
    ASSERT_TRUE(board && answer);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 5; ++column) {
            ExpectCell(board, column * 100 + 50, row * 100 + 50, column, row);
            ExpectCell(answer, column * 40 + 20, row * 40 + 20, column, row);
        }
    }
    ExpectCell(board, 250, 499, 2, 4);
}

TEST_F(PictureLoadingTest, SquareOfFiveHundredIsDrawnOneToOne)
{
    Choose(GridJpeg(500, 500, 20, "square.jpg"));
    LoadPuzzlePicture();
    EXPECT_DOUBLE_EQ(PictureScale, 1.0);
    auto board = Board();
    ASSERT_TRUE(board && SourcePicture);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 500; ++x)
            ASSERT_EQ(board->Pixel(x, y), SourcePicture->Pixel(x, y)) << x << "," << y;
}

TEST_F(PictureLoadingTest, ShorterSideOfSixHundredKeepsItsLastRowAndColumn)
{
    // The answer view's source side is 200 / (500 / 600 / 2.5), which comes
    // out a hair under 600: a conversion that dropped the fraction would
    // lose the last row (or column) of the square. It is black here, the
    // rest white, so the answer's last row must be darkened by it.
    fw::JpegWriteOptions gray;
    gray.ColorModel = fw::JpegWriteOptions::Colors::Grayscale;
    gray.Quality = 100;
    for (bool landscape : { true, false }) {
        SCOPED_TRACE(landscape ? "900 by 600, black last row" : "600 by 900, black last column");
        const int width = landscape ? 900 : 600, height = landscape ? 600 : 900;
        std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0xFFFFFFFFu);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((landscape && y == 599) || (!landscape && x == 599))
                    pixels[size_t(y) * size_t(width) + size_t(x)] = 0xFF000000u;
        Choose(Save(fw::PictureFromPixels(width, height, pixels), landscape ? "wide.jpg" : "tall.jpg", gray));
        LoadPuzzlePicture();
        auto answer = Answer();
        auto board = Board();
        ASSERT_TRUE(answer && board);
        // One black row of three averaged: about two thirds white.
        const uint32_t edge = landscape ? answer->Pixel(100, 199) : answer->Pixel(199, 100);
        EXPECT_LT(Channel(edge, 8), 215) << Hex(edge);
        EXPECT_GT(Channel(edge, 8), 120) << Hex(edge);
        const uint32_t inside = landscape ? answer->Pixel(100, 197) : answer->Pixel(197, 100);
        EXPECT_GT(Channel(inside, 8), 245) << Hex(inside);
        const uint32_t boardEdge = landscape ? board->Pixel(250, 499) : board->Pixel(499, 250);
        EXPECT_LT(Channel(boardEdge, 8), 128) << Hex(boardEdge);
    }
}

TEST_F(PictureLoadingTest, CancellingChangesNothing)
{
    Choose(GridJpeg(400, 300, 50, "first.jpg"));
    LoadPuzzlePicture();
    auto source = SourcePicture;
    auto board = Board();
    auto answer = Answer();
    const double scale = PictureScale;
    ASSERT_TRUE(source && board && answer);

    Choose("");
    LoadPuzzlePicture();
    EXPECT_EQ(SourcePicture, source);
    EXPECT_EQ(Board(), board);
    EXPECT_EQ(Answer(), answer);
    EXPECT_EQ(PictureScale, scale);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PictureLoadingTest, UndecodableFileSaysSoOnceAndKeepsTheViews)
{
    Choose(GridJpeg(400, 300, 50, "first.jpg"));
    LoadPuzzlePicture();
    auto board = Board();
    auto answer = Answer();
    const double scale = PictureScale;

    const std::string fake = (m_folder / "not-a-photo.jpg").string();
    std::ofstream(fake) << "plain text with a photo's name";
    Choose(fake);
    LoadPuzzlePicture();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "No image selected!");
    EXPECT_FALSE(SourcePicture);
    EXPECT_EQ(PictureScale, scale);
    EXPECT_EQ(Board(), board);
    EXPECT_EQ(Answer(), answer);

    // An empty file, and one that is gone by the time it is read, alike.
    const std::string empty = (m_folder / "empty.JPG").string();
    std::ofstream(empty).flush();
    Choose(empty);
    LoadPuzzlePicture();
    Choose((m_folder / "vanished.jpg").string());
    LoadPuzzlePicture();
    EXPECT_EQ(m_messages.size(), 3u);
    EXPECT_EQ(Board(), board);

    // A photo cut off in its scan data is damaged, not undecodable: its upper
    // part shows and no message comes.
    std::vector<char> bytes;
    {
        std::ifstream in(GridJpeg(500, 500, 50, "whole.jpg"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string cut = (m_folder / "cut.jpg").string();
    std::ofstream(cut, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size() * 3 / 5));
    Choose(cut);
    LoadPuzzlePicture();
    EXPECT_EQ(m_messages.size(), 3u);
    ASSERT_TRUE(SourcePicture);
    EXPECT_EQ(SourcePicture->Height(), 500);
    ASSERT_NE(Board(), board);
    ExpectCell(Board(), 25, 25, 0, 0);
    ExpectCell(Board(), 475, 75, 9, 1);
}

TEST_F(PictureLoadingTest, OpeningTheMainWindowAsksForTheFirstPicture)
{
    Choose(GridJpeg(1000, 800, 100, "start.jpg"));
    W().Close();
    auto window = Window1Instance();
    ASSERT_EQ(m_dialogs.size(), 1u);
    auto board = window->Canvas1()->Backdrop();
    ASSERT_TRUE(board);
    ExpectCell(board, 31, 31, 0, 0);
    ExpectCell(window->Canvas2()->Backdrop(), 199, 199, 7, 7);
}

TEST_F(PictureLoadingTest, PluginsAreBoundAndTurningNothingGivesNothing)
{
    LoadPicturePlugins();
    EXPECT_TRUE(PluginEntryTable.OpenAsJPEGMBS);
    EXPECT_TRUE(PluginEntryTable.Rotate90MBS);
    EXPECT_TRUE(PluginEntryTable.Rotate180MBS);
    EXPECT_TRUE(PluginEntryTable.Rotate270MBS);
    EXPECT_TRUE(PluginEntryTable.ScreenshotRectMBS);
    EXPECT_FALSE(Rotate90MBS(nullptr));
    EXPECT_FALSE(Rotate180MBS(nullptr));
    EXPECT_FALSE(Rotate270MBS(nullptr));

    auto tall = fw::PictureFromPixels(2, 3, { 1, 2, 3, 4, 5, 6 });
    auto turned = Rotate270MBS(tall);
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->Width(), 3);
    EXPECT_EQ(turned->Height(), 2);
}
