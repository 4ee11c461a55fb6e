#include "GameTestSupport.h"

#include "platform/CheckBox.h"
#include "platform/Dialogs.h"

namespace gametest {
namespace {

using namespace GameRules;

class NewGameTest : public GameTest {
protected:
    void ExpectReadyState()
    {
        ASSERT_NO_FATAL_FAILURE(ForEachTableRow("piece", [&](int32_t i) {
            EXPECT_EQ(Piece(i).Backdrop(), nullptr);
            EXPECT_EQ(Piece(i).Left(), HomeLeft(i));
            EXPECT_EQ(Piece(i).Top(), HomeTop(i));
            EXPECT_EQ(Code(i), "0");
            EXPECT_EQ(Table().Cell(i, ColumnPosition), "");
        }));
        EXPECT_TRUE(W().MyScramble()->Enabled());
        EXPECT_TRUE(W().MyScramble()->Default());
        EXPECT_FALSE(W().MyNew()->Default());
        EXPECT_EQ(Label(), "0");
        EXPECT_EQ(W().Timer1()->Mode(), 0);
        EXPECT_EQ(W().CountEm()->Mode(), 0);
    }
};

TEST_F(NewGameTest, DuringAGameStopsEverythingAndPutsEveryPieceHome)
{
    UseRotation = true;
    Scramble();
    MakeCorrect(6);
    Table().SetCell(2, ColumnRotation, "-2");
    Move(9, -400, 900);
    CountPass();
    ASSERT_EQ(Label(), "5");
    int32_t dialogs = 0;
    fw::Seams::SetOpenDialogAnswer([&](const fw::OpenDialog&) {
        ++dialogs;
        // The dialog comes after the board and answer view were cleared.
        EXPECT_EQ(W().Canvas1()->Backdrop(), nullptr);
        EXPECT_EQ(W().Canvas2()->Backdrop(), nullptr);
        return std::shared_ptr<fw::FolderItem>();
    });
    NewGame();
    EXPECT_EQ(dialogs, 1);
    ExpectReadyState();
    EXPECT_EQ(LastCorrectCount, 5) << "New leaves the remembered count alone";
    EXPECT_EQ(W().Canvas1()->Backdrop(), nullptr);
    EXPECT_EQ(W().Canvas2()->Backdrop(), nullptr);
}

TEST_F(NewGameTest, WorksTheSameBeforeAnyScrambleAndAfterAFinishedGame)
{
    NewGame();
    ExpectReadyState();
    W().Canvas1()->SetBackdrop(m_board);
    Scramble();
    Solve();
    CountPass();
    ASSERT_EQ(Label(), "25");
    NewGame();
    ExpectReadyState();
}

TEST_F(NewGameTest, LeavesTheOptionsAlone)
{
    for (bool rotate : { false, true }) {
        for (int32_t scale : { 0, 1, 2 }) {
            UseRotation = rotate;
            ScaleFactor = scale;
            bool rotateBox = W().CB1()->Value();
            bool retinaBox = W().CB2()->Value();
            NewGame();
            EXPECT_EQ(UseRotation, rotate);
            EXPECT_EQ(ScaleFactor, scale);
            EXPECT_EQ(W().CB1()->Value(), rotateBox);
            EXPECT_EQ(W().CB2()->Value(), retinaBox);
        }
    }
}

TEST_F(NewGameTest, ClearingRotateMidGameFreezesTurnedPiecesUntilTickedAgain)
{
    UseRotation = true;
    Scramble();
    Solve();
    Table().SetCell(11, ColumnRotation, "1");
    UseRotation = false;
    fw::Keyboard::SetKeyDown(KeyLeftArrow, true);
    Piece(11).Event_DoubleClick(1, 1);
    EXPECT_EQ(Code(11), "1");
    CountPass();
    EXPECT_EQ(Label(), "24");
    UseRotation = true;
    Piece(11).Event_DoubleClick(1, 1);
    EXPECT_EQ(Code(11), "0");
    CountPass();
    EXPECT_EQ(Label(), "25");
}

TEST_F(NewGameTest, AfterNewAScrambleDealsAFreshGame)
{
    UseRotation = true;
    Scramble();
    NewGame();
    W().Canvas1()->SetBackdrop(m_board);
    Scramble();
    for (int32_t i = 0; i < Pieces; ++i) {
        int32_t code = fw::ToInt32(fw::Val(Code(i)));
        EXPECT_EQ(ComparePieceWithTile(Piece(i).Backdrop().get(), i, code), "");
    }
}

} // namespace
} // namespace gametest
