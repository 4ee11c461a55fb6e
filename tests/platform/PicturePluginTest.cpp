// The picture library as the framework loads it: its declarations, the
// failures that name what is missing, and the quarter and half turns.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "PictureTestSupport.h"
#include "platform/Exceptions.h"
#include "platform/Picture.h"
#include "platform/Application.h"
#include "platform/Plugins.h"
#include "platform/Seams.h"
#include "platform/plugins/PictureFunctions.h"
#include "platform/plugins/NetworkFunctions.h"
#include "platform/plugins/PrintingFunctions.h"
#include "platform/plugins/SoundFunctions.h"

using namespace picturetest;

namespace {

// Every pixel different, some of them translucent.
std::shared_ptr<fw::Picture> NumberedPicture(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * size_t(width) + size_t(x)] = (x + y) % 5 == 0
                ? 0x80000000u | uint32_t(x * 8) << 8 | uint32_t(y * 8)
                : 0xFF000000u | uint32_t(x * 20) << 16 | uint32_t(y * 20) << 8 | 0x40u;
    return fw::PictureFromPixels(width, height, pixels);
}

bool SamePixels(const fw::Picture& a, const fw::Picture& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
    return true;
}

} // namespace

TEST(PicturePluginTest, LibraryRegistersTheFiveDeclarations)
{
    auto library = fw::LoadPluginLibrary("tavrine_pictures");
    EXPECT_EQ(library, fw::LoadPluginLibrary("tavrine_pictures"));
    const std::vector<std::string> expected = {
        "Folderitem.OpenAsJPEGMBS(allowdamaged as Boolean) as picture",
        "Picture.Rotate90MBS as picture",
        "Picture.Rotate180MBS as picture",
        "Picture.Rotate270MBS as picture",
        "ScreenshotRectMBS(left as integer, top as integer, width as integer, height as integer) as picture",
    };
    EXPECT_EQ(library->Declarations(), expected);

    // The library is found in the lib folder beside the executables' folder.
    const auto folders = fw::PluginFolders();
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(library->Path().rfind(folders.front(), 0), 0u) << library->Path();
}

TEST(PicturePluginTest, MissingPiecesAreNamed)
{
    auto library = fw::LoadPluginLibrary("tavrine_pictures");
    try {
        library->Function("Picture.Rotate45MBS as picture");
        FAIL() << "an unknown declaration was bound";
    } catch (const fw::PluginLoadException& e) {
        EXPECT_NE(std::string(e.what()).find("Picture.Rotate45MBS as picture"), std::string::npos) << e.what();
    }
    // Declarations match exactly, as written.
    EXPECT_THROW(library->Function("picture.rotate90mbs as picture"), fw::PluginLoadException);

    try {
        fw::LoadPluginLibrary("tavrine_no_such_plugin");
        FAIL() << "a missing library loaded";
    } catch (const fw::PluginLoadException& e) {
        EXPECT_NE(std::string(e.what()).find("libtavrine_no_such_plugin.so"), std::string::npos) << e.what();
    }
}

// Both libraries are bound through the tables the game shares with them. A
// library that does not match (built from another version, a declaration
// renamed or missing) or that is not there stops the game with a message
// that tells whoever installed it which library, what is wrong and what to do.
TEST(PicturePluginTest, ALibraryThatIsMissingOrDoesNotMatchItsTableIsALoadErrorThatSaysSo)
{
    const auto pictures = fw::LoadPluginTable<PictureFunctions>();
    EXPECT_TRUE(pictures.OpenAsJPEGMBS && pictures.Rotate90MBS && pictures.Rotate180MBS && pictures.Rotate270MBS
        && pictures.ScreenshotRectMBS);
    const auto sounds = fw::LoadPluginTable<SoundFunctions>();
    EXPECT_TRUE(sounds.Create && sounds.Play && sounds.Destroy);
    const auto network = fw::LoadPluginTable<NetworkFunctions>();
    EXPECT_TRUE(network.Create && network.Get && network.Abandon && network.IsConnected && network.Destroy);
    const auto printing = fw::LoadPluginTable<PrintingFunctions>();
    EXPECT_TRUE(printing.Open && printing.Painter && printing.NewPage && printing.Close);

    const auto folders = fw::PluginFolders();
    ASSERT_EQ(folders.size(), 1u);
    const std::string folder = folders.front();
    std::vector<std::string> messages;
    auto failureOf = [&](const std::function<void()>& load) {
        fw::RuntimeResetForTests();
        messages.clear();
        fw::Seams::SetMessageBoxAnswer([&](const std::string& text) { messages.push_back(text); });
        fw::DispatchEvent("LoadPicturePlugins", load);
        EXPECT_EQ(fw::QuitCode(), 1);
        fw::Seams::ResetSeams();
        fw::RuntimeResetForTests();
        return messages.size() == 1 ? messages[0] : "(" + std::to_string(messages.size()) + " messages)";
    };
    const std::string reinstall = " that the game needs, so it does not belong to this version of the game. "
                                  "Install the lib folder that came with this game. The application must shut down.";
    const std::string mismatched = folder + "/libtavrine_test_mismatch.so";

    // What each table lacks in the mismatched library.
    const std::pair<std::function<void()>, std::string> lacking[] = {
        { [] { fw::LoadPluginTable<PictureFunctions>("tavrine_test_mismatch"); },
            "functions \"Picture.Rotate180MBS as picture\", \"ScreenshotRectMBS(left as integer, top as integer, "
            "width as integer, height as integer) as picture\"" },
        { [] { fw::LoadPluginTable<SoundFunctions>("tavrine_test_mismatch"); },
            "function \"Sound.Play(effect as ptr)\"" },
        { [] { fw::LoadPluginTable<PrintingFunctions>("tavrine_test_mismatch"); },
            "functions \"Print.Open(pdf as string) as ptr\", \"Print.Painter(job as ptr) as ptr\", "
            "\"Print.NewPage(job as ptr)\", \"Print.Close(job as ptr)\"" },
    };
    for (const auto& [load, missing] : lacking)
        EXPECT_EQ(failureOf(load), "The plug-in library " + mismatched + " lacks the " + missing + reinstall);
    EXPECT_EQ(failureOf([] { fw::LoadPluginTable<PictureFunctions>("tavrine_no_such_plugin"); }),
        "The plug-in library libtavrine_no_such_plugin.so is missing: it is not in " + folder
            + ". The game looks for its libraries only in the folder lib beside the folder bin that holds it; "
              "install the whole application folder, with bin, lib and Resources side by side. "
              "The application must shut down.");
}

TEST(PicturePluginTest, TurnsAreExactPermutations)
{
    const auto& lib = Library::Get();
    auto picture = NumberedPicture(7, 5);

    auto left = Turn(lib.Rotate90MBS, picture);
    auto half = Turn(lib.Rotate180MBS, picture);
    auto right = Turn(lib.Rotate270MBS, picture);
    ASSERT_TRUE(left && half && right);
    ASSERT_EQ(left->Width(), 5);
    ASSERT_EQ(left->Height(), 7);
    ASSERT_EQ(half->Width(), 7);
    ASSERT_EQ(right->Width(), 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const uint32_t pixel = picture->Pixel(x, y);
            // A quarter turn counter-clockwise takes the top-right corner to
            // the top-left; clockwise takes the bottom-left there.
            ASSERT_EQ(left->Pixel(y, 6 - x), pixel) << x << "," << y;
            ASSERT_EQ(half->Pixel(6 - x, 4 - y), pixel) << x << "," << y;
            ASSERT_EQ(right->Pixel(4 - y, x), pixel) << x << "," << y;
        }
    }

    // Four quarter turns either way, or one each way, give the input back;
    // the input itself is never changed.
    auto around = picture;
    auto back = picture;
    for (int i = 0; i < 4; ++i) {
        around = Turn(lib.Rotate90MBS, around);
        back = Turn(lib.Rotate270MBS, back);
    }
    EXPECT_TRUE(SamePixels(*around, *picture));
    EXPECT_TRUE(SamePixels(*back, *picture));
    EXPECT_TRUE(SamePixels(*Turn(lib.Rotate270MBS, left), *picture));
    EXPECT_TRUE(SamePixels(*Turn(lib.Rotate90MBS, Turn(lib.Rotate90MBS, picture)), *half));
    EXPECT_TRUE(SamePixels(*NumberedPicture(7, 5), *picture));
}

TEST(PicturePluginTest, NothingInGivesNothingOut)
{
    const auto& lib = Library::Get();
    EXPECT_EQ(lib.Rotate90MBS(nullptr), nullptr);
    EXPECT_EQ(lib.Rotate180MBS(nullptr), nullptr);
    EXPECT_EQ(lib.Rotate270MBS(nullptr), nullptr);
    EXPECT_FALSE(fw::PictureFromPlugin(nullptr));
    // An empty picture has nothing to turn.
    auto empty = fw::NewPicture(0, 0, 32);
    EXPECT_FALSE(Turn(lib.Rotate90MBS, empty));
    EXPECT_EQ(lib.OpenAsJPEGMBS(nullptr, true), nullptr);
}
