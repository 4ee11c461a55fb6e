#include "GameTestSupport.h"

#include <array>

namespace gametest {
namespace {

using namespace GameRules;

// Turning by double-click, with the keyboard state set directly; the whole
// game test drives the same through real key and mouse events.
class TurnTest : public GameTest {
protected:
    void DoubleClick(int32_t i) { Piece(i).Event_DoubleClick(50, 50); }
    void Keys(bool right, bool option, bool left, bool control)
    {
        fw::Keyboard::ResetState();
        fw::Keyboard::SetKeyDown(KeyRightArrow, right);
        fw::Keyboard::SetKeyDown(KeyLeftArrow, left);
        fw::Keyboard::SetModifiers(option, control);
    }
    void StartRotatingGame()
    {
        UseRotation = true;
        Scramble();
    }
    // Snapshot of every code, and of every picture by identity.
    std::vector<std::string> Codes()
    {
        std::vector<std::string> codes;
        for (int32_t i = 0; i < Pieces; ++i)
            codes.push_back(Code(i));
        return codes;
    }
    std::vector<std::shared_ptr<fw::Picture>> Pictures()
    {
        std::vector<std::shared_ptr<fw::Picture>> pictures;
        for (int32_t i = 0; i < Pieces; ++i)
            pictures.push_back(Piece(i).Backdrop());
        return pictures;
    }
};

TEST_F(TurnTest, NothingTurnsOutsideARunningGameWithRotation)
{
    struct Case {
        const char* what;
        bool rotation;
        bool scramble;
        bool newAfter;
    };
    for (Case c : { Case { "before Scramble", true, false, false }, Case { "after New", true, true, true },
             Case { "rotation off", false, true, false } }) {
        SCOPED_TRACE(c.what);
        NewGame();
        W().Canvas1()->SetBackdrop(m_board);
        UseRotation = true;
        if (c.scramble)
            Scramble();
        if (c.newAfter)
            NewGame();
        UseRotation = c.rotation;
        auto codes = Codes();
        auto pictures = Pictures();
        for (auto keys : { std::array { true, false, false, false }, std::array { false, true, true, true } }) {
            Keys(keys[0], keys[1], keys[2], keys[3]);
            for (int32_t i = 0; i < Pieces; ++i)
                DoubleClick(i);
        }
        EXPECT_EQ(Codes(), codes);
        EXPECT_EQ(Pictures(), pictures);
    }
}

TEST_F(TurnTest, WithNoTurningKeyHeldNothingChanges)
{
    StartRotatingGame();
    auto codes = Codes();
    auto pictures = Pictures();
    Keys(false, false, false, false);
    fw::Keyboard::SetKeyDown(125, true); // down arrow: not a turning key
    for (int32_t i = 0; i < Pieces; ++i)
        DoubleClick(i);
    EXPECT_EQ(Codes(), codes);
    EXPECT_EQ(Pictures(), pictures);
}

TEST_F(TurnTest, EachKeyTurnsItsWayAndClockwiseWins)
{
    struct Case {
        const char* what;
        bool right, option, left, control;
        int32_t turn;
    };
    const Case cases[] = {
        { "right arrow", true, false, false, false, 1 },
        { "Alt", false, true, false, false, 1 },
        { "left arrow", false, false, true, false, -1 },
        { "Ctrl", false, false, false, true, -1 },
        { "Alt and Ctrl", false, true, false, true, 1 },
        { "both arrows", true, false, true, false, 1 },
        { "left arrow and Alt", false, true, true, false, 1 },
    };
    StartRotatingGame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int32_t i = 0; i < Pieces; ++i)
            Table().SetCell(i, ColumnRotation, "0");
        Keys(c.right, c.option, c.left, c.control);
        DoubleClick(12);
        EXPECT_EQ(Code(12), c.turn == 1 ? "1" : "-1");
        // Only the piece clicked turns.
        for (int32_t i = 0; i < Pieces; ++i) {
            if (i != 12) {
                EXPECT_EQ(Code(i), "0");
            }
        }
    }
}

TEST_F(TurnTest, FourTurnsComeBackUprightThroughEveryCode)
{
    // Scrambled without rotation every piece starts upright; ticking "Rotate"
    // during the game brings turning by double-click.
    const int32_t piece = 3;
    Scramble();
    UseRotation = true;
    ASSERT_EQ(Code(piece), "0");
    ASSERT_EQ(ComparePieceWithTile(Piece(piece).Backdrop().get(), piece, 0), "");

    struct Way {
        const char* what;
        bool clockwise;
        std::vector<std::string> codes;
    };
    for (const Way& way : { Way { "clockwise", true, { "1", "2", "3", "0" } },
             Way { "counter-clockwise", false, { "-1", "-2", "-3", "0" } } }) {
        SCOPED_TRACE(way.what);
        Keys(way.clockwise, false, !way.clockwise, false);
        for (int32_t step = 0; step < 4; ++step) {
            DoubleClick(piece);
            EXPECT_EQ(Code(piece), way.codes[size_t(step)]);
            int32_t turns = way.clockwise ? step + 1 : -(step + 1);
            EXPECT_EQ(ComparePieceWithTile(Piece(piece).Backdrop().get(), piece, turns), "");
        }
    }
}

TEST_F(TurnTest, CodesWrapOnlyAtAFullTurn)
{
    StartRotatingGame();
    struct Case {
        const char* before;
        bool clockwise;
        const char* after;
    };
    for (Case c : { Case { "3", true, "0" }, Case { "-1", true, "0" }, Case { "-3", true, "-2" },
             Case { "-3", false, "0" }, Case { "1", false, "0" }, Case { "0", false, "-1" },
             Case { "-2", false, "-3" }, Case { "2", true, "3" } }) {
        SCOPED_TRACE(std::string(c.before) + (c.clockwise ? " clockwise" : " counter-clockwise"));
        Table().SetCell(6, ColumnRotation, c.before);
        Keys(c.clockwise, false, !c.clockwise, false);
        DoubleClick(6);
        EXPECT_EQ(Code(6), c.after);
    }
}

TEST_F(TurnTest, APieceWithoutPictureTurnsItsCodeOnly)
{
    StartRotatingGame();
    Piece(8).SetBackdrop(nullptr);
    Table().SetCell(8, ColumnRotation, "0");
    Keys(false, true, false, false);
    DoubleClick(8);
    EXPECT_EQ(Piece(8).Backdrop(), nullptr);
    EXPECT_EQ(Code(8), "1");
    Keys(false, false, false, true);
    DoubleClick(8);
    DoubleClick(8);
    EXPECT_EQ(Piece(8).Backdrop(), nullptr);
    EXPECT_EQ(Code(8), "-1");
}

TEST_F(TurnTest, AHalfBuiltTableTurnsNothing)
{
    StartRotatingGame();
    Table().DeleteAllRows();
    for (int32_t i = 0; i < 10; ++i)
        Table().AddRow(std::to_string(i));
    auto pictures = Pictures();
    Keys(true, false, false, false);
    EXPECT_NO_THROW(DoubleClick(4));
    EXPECT_NO_THROW(DoubleClick(20));
    EXPECT_EQ(Pictures(), pictures);
    EXPECT_EQ(Table().ListCount(), 10);
}

} // namespace
} // namespace gametest
