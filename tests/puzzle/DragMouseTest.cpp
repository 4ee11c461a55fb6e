#include "GameTestSupport.h"

#include "platform/testsupport/InputDriver.h"

namespace gametest {
namespace {

using namespace GameRules;
namespace Input = fw::Input;

class DragTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Scramble();
    }
    // Presses piece i at (dx, dy) inside it and returns that window point.
    std::pair<int32_t, int32_t> Press(int32_t i, int32_t dx, int32_t dy)
    {
        int32_t x = Piece(i).Left() + dx, y = Piece(i).Top() + dy;
        Input::MouseDown(W(), x, y);
        return { x, y };
    }
    // The piece lying on slot j after the deal.
    int32_t OnSlot(int32_t j) { return Slots[size_t(j)]; }
};

TEST_F(DragTest, ThePointTakenStaysUnderTheMouse)
{
    int32_t k = OnSlot(12);
    Press(k, 30, 40);
    EXPECT_EQ(DragOffsetX, 30);
    EXPECT_EQ(DragOffsetY, 40);
    for (auto [x, y] : { std::pair { 300, 310 }, std::pair { 301, 290 }, std::pair { 560, 200 } }) {
        Input::MouseMove(W(), x, y);
        EXPECT_EQ(Piece(k).Left(), x - 30);
        EXPECT_EQ(Piece(k).Top(), y - 40);
    }
    Input::MouseUp(W(), 560, 200);
    // The scratch area kept it; the table knows nothing of drags.
    EXPECT_EQ(Piece(k).Left(), 530);
    EXPECT_EQ(Table().Cell(12, ColumnPosition), std::to_string(k));
}

TEST_F(DragTest, APressWithoutMovementLeavesThePieceWhereItIs)
{
    int32_t k = OnSlot(3);
    int32_t left = Piece(k).Left(), top = Piece(k).Top();
    Press(k, 99, 0);
    Input::MouseUp(W(), left + 99, top);
    EXPECT_EQ(Piece(k).Left(), left);
    EXPECT_EQ(Piece(k).Top(), top);
}

TEST_F(DragTest, ThereIsNoBoundEvenWhollyOutsideTheWindow)
{
    int32_t k = OnSlot(0);
    Press(k, 50, 50);
    Input::MouseMove(W(), -300, 1500);
    Input::MouseUp(W(), -300, 1500);
    EXPECT_EQ(Piece(k).Left(), -350);
    EXPECT_EQ(Piece(k).Top(), 1450);
}

TEST_F(DragTest, EveryPressOverwritesTheOneSharedOffset)
{
    int32_t a = OnSlot(6), b = OnSlot(18);
    Press(a, 10, 20);
    Input::MouseUp(W(), Piece(a).Left() + 10, Piece(a).Top() + 20);
    Press(b, 70, 5);
    EXPECT_EQ(DragOffsetX, 70);
    EXPECT_EQ(DragOffsetY, 5);
    Input::MouseMove(W(), 400, 400);
    EXPECT_EQ(Piece(b).Left(), 330);
    EXPECT_EQ(Piece(b).Top(), 395);
    Input::MouseUp(W(), 400, 400);
}

TEST_F(DragTest, APieceCanBePickedUpAgainWhereverItLiesInTheWindow)
{
    // Over the scratch label, beyond the board's frame over the count label,
    // and back onto the board: each time a press finds the piece.
    int32_t k = OnSlot(24);
    std::pair<int32_t, int32_t> stops[] = { { 570, 250 }, { 740, 440 }, { 250, 250 } };
    for (auto [x, y] : stops) {
        Press(k, 50, 50);
        Input::MouseMove(W(), x, y);
        Input::MouseUp(W(), x, y);
        ASSERT_EQ(Piece(k).Left(), x - 50);
        ASSERT_EQ(Piece(k).Top(), y - 50);
    }
}

TEST_F(DragTest, AHeldPieceShiversNearHomeAndStaysWhenReleased)
{
    // Piece 12's home is (220, 220). Find where it was dealt and drag it near.
    int32_t k = 12;
    Press(k, 50, 50);
    Input::MouseMove(W(), 220 + 50 + 12, 220 + 50 - 15);
    EXPECT_EQ(Piece(k).Left(), 232);
    // The snapping timer runs while the button is still down.
    EXPECT_TRUE(ProcessUntil([&] { return Piece(k).Left() == 220; }));
    EXPECT_EQ(Piece(k).Top(), 220);
    // The next drag event puts it back under the mouse...
    Input::MouseMove(W(), 220 + 50 + 13, 220 + 50 - 15);
    EXPECT_EQ(Piece(k).Left(), 233);
    // ...and after the release the next tick leaves it home.
    Input::MouseUp(W(), 220 + 50 + 13, 220 + 50 - 15);
    EXPECT_TRUE(ProcessUntil([&] { return Piece(k).Left() == 220; }));
    EXPECT_EQ(Piece(k).Top(), 220);
}

} // namespace
} // namespace gametest
