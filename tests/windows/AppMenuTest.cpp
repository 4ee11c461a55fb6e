// The application's four menu commands, chosen from the main window's menu
// bar as the player chooses them, and the help window's own "Print Help".
#include <cstdlib>
#include <filesystem>

#include "platform/MenuItem.h"
#include "platform/Picture.h"
#include "puzzle/Win1MenuBar.h"
#include "tests/support/GameFixture.h"
#include "windows/AboutBox.h"
#include "windows/Help.h"
#include "windows/selfTest.h"

namespace {

class AppMenuTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        main = OpenMainWindow();
        fw::Seams::SetPrinterDialogAnswer([this] {
            ++dialogs;
            return printTo;
        });
    }

    bool Choose(const char* name)
    {
        return fw::ChooseMenuItem(fw::Deref(Win1MenuBarInstance(), "bar").Lookup(name));
    }

    static bool Open(const char* fullClassName)
    {
        return bool(fw::RuntimeGetImplicitWindow(fullClassName));
    }

    std::shared_ptr<Window1> main;
    std::string printTo;
    int dialogs = 0;
};

TEST_F(AppMenuTest, EachHandlerReportsTheCommandHandled)
{
    auto app = AppInstance();
    for (const char* name : { "CheckforUpdateCheckNow", "HelpShowHelp", "FilePrintHelp", "HelpAboutBox" }) {
        const fw::MenuHandler* handler = app->FindMenuHandler(name);
        ASSERT_TRUE(handler) << name;
        EXPECT_TRUE((*handler)()) << name;
    }
    // The print was cancelled and still counted as handled.
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(AppMenuTest, ShowHelpAboutAndCheckNowOpenTheirWindowsOnce)
{
    ASSERT_TRUE(Choose("HelpShowHelp"));
    auto help = HelpInstance();
    main->Show();
    ASSERT_TRUE(Choose("HelpShowHelp"));
    EXPECT_EQ(HelpInstance(), help);
    EXPECT_EQ(fw::OpenWindows().front(), help) << "Show Help brings the help window to the front";

    ASSERT_TRUE(Choose("HelpAboutBox"));
    EXPECT_TRUE(Open(AboutBox::FullClassName));

    // "Check Now" shows the version window only; the check waits for its button.
    ASSERT_TRUE(Choose("CheckforUpdateCheckNow"));
    EXPECT_TRUE(Open(selfTest::FullClassName));
    EXPECT_FALSE(Open("updateWindow.updateWindow"));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(beeps, 0);
}

TEST_F(AppMenuTest, PrintHelpFromEitherBarDecidesWhetherTheHelpWindowStays)
{
    const auto dir = std::filesystem::temp_directory_path() / ("tavrine-app-menu-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    printTo = (dir / "help.pdf").string();

    // In front, the help window's own item prints and leaves it open.
    auto help = HelpInstance();
    help->Show();
    ASSERT_TRUE(fw::ChooseMenuItem(help->FilePrint()));
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(std::filesystem::exists(printTo));
    EXPECT_EQ(fw::RuntimeGetImplicitWindow(Help::FullClassName), help);

    // The main bar's item prints the same text and closes the window.
    std::filesystem::remove(printTo);
    ASSERT_TRUE(Choose("FilePrintHelp"));
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(std::filesystem::exists(printTo));
    EXPECT_FALSE(Open(Help::FullClassName));
    EXPECT_TRUE(Open(Window1::FullClassName));
    std::filesystem::remove_all(dir);
}

} // namespace

namespace {

// What each window draws, grabbed under the offscreen platform: its content
// area has the laid-out size and its controls draw inside their frames. With
// TAVRINE_SCREENSHOT_DIR set the pictures are kept there for a look.
class WindowPictureTest : public GameFixture {
protected:
    static std::shared_ptr<fw::Picture> Grab(fw::Window& window, const char* name)
    {
        window.Show();
        auto picture = fw::GrabWindow(window);
        if (const char* dir = std::getenv("TAVRINE_SCREENSHOT_DIR"); dir && picture)
            fw::SavePicturePNG(*picture, std::string(dir) + "/" + name + ".png");
        return picture;
    }

    // The grab exists and has the window's content size.
    static void ExpectSize(const std::shared_ptr<fw::Picture>& picture, int width, int height)
    {
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Width(), width);
        EXPECT_EQ(picture->Height(), height);
    }

    // Whether any pixel of the rectangle is dark (text or a frame line).
    static bool HasInk(const fw::Picture& p, int left, int top, int width, int height)
    {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x) {
                const uint32_t px = p.Pixel(x, y);
                if (((px >> 16) & 0xFF) < 110 && ((px >> 8) & 0xFF) < 110 && (px & 0xFF) < 110)
                    return true;
            }
        return false;
    }
};

TEST_F(WindowPictureTest, EachWindowDrawsItsControlsInsideItsContentArea)
{
    auto help = HelpInstance();
    auto helpPicture = Grab(*help, "help");
    ASSERT_NO_FATAL_FAILURE(ExpectSize(helpPicture, 400, 383));
    // The text shows inside the text area; the margin around it is empty.
    EXPECT_TRUE(HasInk(*helpPicture, 24, 24, 340, 100));
    EXPECT_FALSE(HasInk(*helpPicture, 0, 0, 400, 15));
    EXPECT_FALSE(HasInk(*helpPicture, 0, 368, 400, 15));

    auto about = AboutBoxInstance();
    auto aboutPicture = Grab(*about, "about");
    ASSERT_NO_FATAL_FAILURE(ExpectSize(aboutPicture, 264, 296));
    EXPECT_TRUE(HasInk(*aboutPicture, 20, 20, 224, 45)) << "product name";
    EXPECT_TRUE(HasInk(*aboutPicture, 130, 60, 62, 20)) << "version";
    EXPECT_TRUE(HasInk(*aboutPicture, 67, 256, 130, 20)) << "Support Halvory";

    auto version = selfTestInstance();
    auto versionPicture = Grab(*version, "selftest");
    ASSERT_NO_FATAL_FAILURE(ExpectSize(versionPicture, 212, 102));
    EXPECT_TRUE(HasInk(*versionPicture, 102, 20, 69, 20)) << "version";
    EXPECT_TRUE(HasInk(*versionPicture, 28, 61, 157, 21)) << "Check for Updates";
}

} // namespace
