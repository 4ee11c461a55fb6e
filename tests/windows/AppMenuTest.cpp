// The application's four menu commands, chosen from the main window's menu
// bar as the player chooses them, and the help window's own "Print Help".
#include <filesystem>

#include "platform/MenuItem.h"
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
