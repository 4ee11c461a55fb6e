// The main menu bar: its menus and entries as the player sees them, one
// object for the whole run, and the three entries the application enables.
#include "puzzle/Win1MenuBar.h"
#include "tests/support/GameFixture.h"

namespace {

using Win1MenuBarTest = GameFixture;

struct Entry {
    const char* name;
    const char* text;
    const char* shortcut; // nullptr: never set (separators)
    const char* className;
};

void ExpectMenu(const fw::MenuItem& menu, const std::vector<Entry>& entries)
{
    ASSERT_EQ(menu.Children().size(), entries.size()) << menu.Name();
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& item = *menu.Children()[i];
        const auto& want = entries[i];
        EXPECT_EQ(item.Name(), want.name);
        EXPECT_EQ(item.Text(), want.text) << want.name;
        EXPECT_EQ(item.ClassName(), want.className) << want.name;
        EXPECT_TRUE(item.AutoEnable()) << want.name;
        EXPECT_TRUE(item.Visible()) << want.name;
        if (want.shortcut) {
            EXPECT_TRUE(item.HasKeyboardShortcut()) << want.name;
            EXPECT_EQ(item.KeyboardShortcut(), want.shortcut) << want.name;
        } else {
            EXPECT_FALSE(item.HasKeyboardShortcut()) << want.name;
        }
    }
}

TEST_F(Win1MenuBarTest, MenusAndEntriesStandInTheirOrder)
{
    auto bar = Win1MenuBarInstance();
    ExpectMenu(*bar, {
                         { "FileMenu", "&File", "", "MenuItem" },
                         { "EditMenu", "&Edit", "", "MenuItem" },
                         { "CheckforUpdateMenu", "Check for Update", "", "MenuBar" },
                         { "HelpMenu", "Help ", "", "MenuItem" },
                     });
    ExpectMenu(*bar->Child("FileMenu"), {
                                            { "FilePrintHelp", "Print Help", "Cmd+P", "MenuItem" },
                                            { "UntitledSeparator", "-", nullptr, "MenuItem" },
                                            { "FileQuit", "&Quit", "Cmd+Q", "QuitMenuItem" },
                                        });
    ExpectMenu(*bar->Child("EditMenu"), {
                                            { "EditUndo", "&Undo", "Cmd+Z", "MenuItem" },
                                            { "UntitledMenu1", "-", nullptr, "MenuItem" },
                                            { "EditCut", "Cu&t", "Cmd+X", "MenuItem" },
                                            { "EditCopy", "&Copy", "Cmd+C", "MenuItem" },
                                            { "EditPaste", "&Paste", "Cmd+V", "MenuItem" },
                                            { "EditClear", "&Delete", "", "MenuItem" },
                                            { "UntitledMenu0", "-", nullptr, "MenuItem" },
                                            { "EditSelectAll", "Select &All", "Cmd+A", "MenuItem" },
                                        });
    ExpectMenu(*bar->Child("CheckforUpdateMenu"), { { "CheckforUpdateCheckNow", "Check Now", "", "MenuItem" } });
    ExpectMenu(*bar->Child("HelpMenu"), {
                                            { "HelpShowHelp", "Show Help", "", "MenuItem" },
                                            { "HelpAboutBox", "About...", "", "AppleMenuItem" },
                                        });
}

TEST_F(Win1MenuBarTest, OneBarServesEveryCallAndEveryMainWindow)
{
    auto bar = Win1MenuBarInstance();
    EXPECT_EQ(Win1MenuBarInstance(), bar);
    auto window = OpenMainWindow();
    EXPECT_EQ(window->GetMenuBar(), bar);
    window->Close();
    fw::RuntimeResetForTests();
    EXPECT_EQ(Window1Instance()->GetMenuBar(), bar) << "a window made later installs the same bar";
}

TEST_F(Win1MenuBarTest, TheWindowsMenuAccessorsFindEveryItem)
{
    auto window = OpenMainWindow();
    EXPECT_EQ(window->FilePrintHelp()->Text(), "Print Help");
    EXPECT_EQ(window->FileQuit()->Text(), "&Quit");
    EXPECT_EQ(window->CheckforUpdateMenu()->Text(), "Check for Update");
    EXPECT_EQ(window->HelpAboutBox()->Text(), "About...");
    EXPECT_EQ(window->UntitledMenu0()->Text(), "-");
    EXPECT_EQ(window->EditClear()->Text(), "&Delete");
}

TEST_F(Win1MenuBarTest, EnablingTurnsOnTheThreeApplicationEntriesOnly)
{
    auto bar = Win1MenuBarInstance();
    for (const char* name : { "HelpShowHelp", "HelpAboutBox", "FilePrintHelp", "CheckforUpdateCheckNow" })
        bar->Lookup(name)->SetEnabled(false);
    AppInstance()->Event_EnableMenuItems();
    EXPECT_TRUE(bar->Lookup("HelpShowHelp")->Enabled());
    EXPECT_TRUE(bar->Lookup("HelpAboutBox")->Enabled());
    EXPECT_TRUE(bar->Lookup("FilePrintHelp")->Enabled());
    EXPECT_FALSE(bar->Lookup("CheckforUpdateCheckNow")->Enabled());
}

TEST_F(Win1MenuBarTest, ApplicationEntriesReachTheirHandlers)
{
    auto window = OpenMainWindow();
    for (const char* name : { "CheckforUpdateCheckNow", "HelpShowHelp", "FilePrintHelp", "HelpAboutBox" }) {
        const auto* handler = AppInstance()->FindMenuHandler(name);
        ASSERT_NE(handler, nullptr) << name;
    }
    EXPECT_EQ(AppInstance()->FindMenuHandler("FilePrint"), nullptr) << "the help window's item has its own name";
}

} // namespace
