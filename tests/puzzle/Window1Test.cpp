// The main window as it is built: its controls in their order and places, the
// check boxes' opening rules, its position, and what closing it does.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Settings.h"
#include "platform/PropertyList.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/Strings.h"
#include "puzzle/DraggableCanvas.h"
#include "tests/support/GameFixture.h"

namespace {

class Window1Test : public GameFixture {};

TEST_F(Window1Test, ControlsAreCreatedInOrderWithTheirNamesAndPlaces)
{
    auto window = OpenMainWindow();
    const auto& controls = window->Controls();
    ASSERT_EQ(controls.size(), 39u);

    std::vector<std::string> expected { "Rectangle1" };
    for (int i = 0; i < 25; ++i)
        expected.push_back("Snaps");
    for (const char* name : { "Label2", "Canvas1", "MyScramble", "LB1", "Label1", "Rectangle2", "Canvas2",
             "Timer1", "MyNew", "CB1", "MyCorrect", "CountEm", "CB2" })
        expected.push_back(name);
    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->Name(), expected[i]) << "control " << i;

    for (int i = 0; i < 25; ++i) {
        auto piece = window->Snaps(i);
        ASSERT_TRUE(piece);
        EXPECT_EQ(piece, controls[1 + i]) << "pieces are made in index order";
        EXPECT_EQ(piece->ClassName(), "Window1.Snaps");
        EXPECT_EQ(piece->Index(), i);
        EXPECT_EQ(piece->TabIndex(), i);
        EXPECT_EQ(piece->Left(), 19 + 100 * (i % 5));
        EXPECT_EQ(piece->Top(), 19 + 100 * (i / 5));
        EXPECT_EQ(piece->Width(), 100);
        EXPECT_EQ(piece->Height(), 100);
        EXPECT_EQ(piece->InitialParent(), "Rectangle1");
        EXPECT_EQ(piece->Backdrop(), nullptr);
    }
    EXPECT_EQ(window->Snaps(24)->Left(), 419);
    EXPECT_EQ(window->Snaps(24)->Top(), 419);

    auto board = window->Canvas1();
    EXPECT_EQ(std::make_tuple(board->Left(), board->Top(), board->Width(), board->Height()), std::make_tuple(20, 20, 500, 500));
    auto answer = window->Canvas2();
    EXPECT_EQ(std::make_tuple(answer->Left(), answer->Top(), answer->Width(), answer->Height()), std::make_tuple(643, 19, 200, 200));
    EXPECT_EQ(answer->InitialParent(), "Rectangle2");
    auto frame = window->Rectangle1();
    EXPECT_EQ(std::make_tuple(frame->Left(), frame->Top(), frame->Width(), frame->Height()), std::make_tuple(19, 19, 601, 502));

    EXPECT_EQ(window->MyScramble()->Caption(), "Scramble");
    EXPECT_EQ(window->MyNew()->Caption(), "New");
    EXPECT_EQ(window->CB1()->Caption(), "Rotate");
    EXPECT_EQ(window->CB2()->Caption(), "Retina");
    EXPECT_EQ(window->MyCorrect()->Text(), "0");
    EXPECT_EQ(window->MyCorrect()->TextSize(), 50);
    EXPECT_EQ(window->Label2()->Text(), "Work\r\rScratch\r\rArea");
    EXPECT_EQ(window->Label2()->TextSize(), 18);
    EXPECT_EQ(fw::Len(window->Label1()->Text()), 78);
    EXPECT_TRUE(window->MyScramble()->Enabled());

    auto table = window->LB1();
    EXPECT_EQ(table->ColumnCount(), 5);
    EXPECT_EQ(table->ListCount(), 0);
    EXPECT_GE(table->Left(), window->Width()) << "the piece table lies beyond the window's right edge";
    EXPECT_GE(window->Label1()->Left(), window->Width());

    EXPECT_EQ(window->Timer1()->Mode(), 0);
    EXPECT_EQ(window->Timer1()->Period(), 50);
    EXPECT_EQ(window->CountEm()->Mode(), 0);
    EXPECT_EQ(window->CountEm()->Period(), 100);
}

TEST_F(Window1Test, TheWindowHasItsSizeTitleAndSavedPlace)
{
    WriteSettings("#Window1Position 300,200\n#UseRotation False\n#ScaleFactor 1\n");
    auto window = OpenMainWindow();
    EXPECT_EQ(window->Title(), "Tavrine");
    EXPECT_EQ(window->Width(), 865);
    EXPECT_EQ(window->Height(), 542);
    EXPECT_EQ(window->Top(), 300);
    EXPECT_EQ(window->Left(), 200);
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(Window1Instance(), window) << "a second call creates nothing";
}

TEST_F(Window1Test, TheWindowOpensWhileItsAccessorAlreadyReturnsIt)
{
    // The first picture is asked for from the window's Open event; the
    // dialog's answer runs while the window is being built.
    // The random source of the turns is made before the window, so it is
    // there for every scramble.
    std::shared_ptr<Window1> seenDuringOpen;
    bool randomDuringOpen = false;
    ASSERT_FALSE(Rnd);
    fw::Seams::SetOpenDialogAnswer([&](const fw::OpenDialog&) {
        seenDuringOpen = Window1Instance();
        randomDuringOpen = bool(Rnd);
        return std::shared_ptr<fw::FolderItem>();
    });
    auto window = OpenMainWindow();
    EXPECT_EQ(seenDuringOpen, window);
    EXPECT_TRUE(randomDuringOpen);
    UseRotation = true;
    EXPECT_NO_THROW(window->MyScramble_Action(*window->MyScramble()));
}

struct CheckBoxCase {
    bool rotation;
    int32_t scale;
    bool rotateTicked;
    bool retinaTicked;
};

TEST_F(Window1Test, CheckBoxesShowTheSettingsWithoutChangingThem)
{
    for (const auto& c : { CheckBoxCase { false, 0, false, false }, CheckBoxCase { true, 1, true, false },
             CheckBoxCase { false, 2, false, true } }) {
        fw::RuntimeResetForTests();
        InitModuleValues();
        UseRotation = c.rotation;
        ScaleFactor = c.scale;
        IgnoreFirstRetinaAction = true;
        auto window = Window1Instance();
        EXPECT_EQ(window->CB1()->Value(), c.rotateTicked) << "scale " << c.scale;
        EXPECT_EQ(window->CB2()->Value(), c.retinaTicked) << "scale " << c.scale;
        EXPECT_EQ(UseRotation, c.rotation);
        EXPECT_EQ(ScaleFactor, c.scale) << "the Action raised while the box opens is swallowed";
        EXPECT_FALSE(IgnoreFirstRetinaAction);
    }
}

TEST_F(Window1Test, RetinaClicksAfterOpeningSetTheScale)
{
    ScaleFactor = 0;
    IgnoreFirstRetinaAction = true;
    auto window = Window1Instance();
    EXPECT_EQ(ScaleFactor, 0);
    window->CB2()->Click();
    EXPECT_TRUE(window->CB2()->Value());
    EXPECT_EQ(ScaleFactor, 2);
    window->CB2()->Click();
    EXPECT_EQ(ScaleFactor, 1);
    window->CB2()->Click();
    EXPECT_EQ(ScaleFactor, 2);

    window->CB1()->Click();
    EXPECT_TRUE(UseRotation);
    window->CB1()->Click();
    EXPECT_FALSE(UseRotation);
}

TEST_F(Window1Test, WithoutTheOneShotFlagTheOpeningActionSetsTheScale)
{
    // The flag is the only thing that keeps a scale of 0 at 0 while the box
    // opens: without it the opening Action writes the box's state.
    ScaleFactor = 0;
    IgnoreFirstRetinaAction = false;
    Window1Instance();
    EXPECT_EQ(ScaleFactor, 1);
}

TEST_F(Window1Test, MovingAndClosingWritesTheLastPositionAndQuitsWithZero)
{
    auto window = OpenMainWindow();
    window->CB2()->Click();
    window->SetTop(150);
    window->SetLeft(260);
    fw::Input::ProcessEvents(50);
    EXPECT_EQ(WinTop, 150);
    EXPECT_EQ(WinLeft, 260);
    window->Close();
    EXPECT_TRUE(fw::QuitRequested());
    EXPECT_EQ(fw::QuitCode(), 0);
    std::ifstream in(SettingsPath());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "#Window1Position 150,260\n#UseRotation False\n#ScaleFactor 2\n");
}

TEST_F(Window1Test, ANeverMovedWindowWritesBackWhereItOpened)
{
    WriteSettings("#Window1Position 123,321\n#UseRotation True\n#ScaleFactor 1\n");
    auto window = OpenMainWindow();
    window->Close();
    std::ifstream in(SettingsPath());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "#Window1Position 123,321\n#UseRotation True\n#ScaleFactor 1\n");
}

TEST_F(Window1Test, TheQuitItemClosesTheMainWindowSoTheSettingsAreWritten)
{
    auto window = OpenMainWindow();
    fw::ChooseMenuItem(window->FileQuit());
    EXPECT_TRUE(fw::QuitRequested());
    EXPECT_EQ(fw::QuitCode(), 0);
    EXPECT_TRUE(std::filesystem::exists(SettingsPath()));
    EXPECT_FALSE(window->IsOpen());
}

} // namespace
