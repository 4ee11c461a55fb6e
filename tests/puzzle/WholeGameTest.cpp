#include "GameTestSupport.h"

#include "platform/CheckBox.h"
#include "platform/testsupport/InputDriver.h"

namespace gametest {
namespace {

using namespace GameRules;
namespace Input = fw::Input;

class WholeGameTest : public GameTest {
protected:
    // Double-clicks piece i in its middle with the keys of one quarter turn.
    void Turn(int32_t i, bool clockwise, int variant)
    {
        int32_t x = Piece(i).Left() + 50, y = Piece(i).Top() + 50;
        // Each way has an arrow key and a modifier; the test uses both.
        if (variant % 2 == 0) {
            int32_t key = clockwise ? KeyRightArrow : KeyLeftArrow;
            Input::KeyDown(key);
            Input::DoubleClick(W(), x, y);
            Input::KeyUp(key);
        } else {
            Input::SetModifierKeys(clockwise, !clockwise);
            Input::DoubleClick(W(), x, y);
            Input::SetModifierKeys(false, false);
        }
    }

    // Presses piece i in its middle and drags it in a few steps to lie at
    // (left, top), then lets go.
    void DragTo(int32_t i, int32_t left, int32_t top)
    {
        int32_t fromX = Piece(i).Left() + 50, fromY = Piece(i).Top() + 50;
        Input::MouseDown(W(), fromX, fromY);
        for (int step = 1; step <= 4; ++step)
            Input::MouseMove(W(), fromX + (left + 50 - fromX) * step / 4, fromY + (top + 50 - fromY) * step / 4);
        Input::MouseUp(W(), left + 50, top + 50);
    }
};

TEST_F(WholeGameTest, FromScrambleToApplauseThroughRealInput)
{
    // "Rotate" ticked by a click, as the player does.
    W().CB1()->SetValue(false);
    ASSERT_FALSE(UseRotation);
    Input::Click(*W().CB1());
    ASSERT_TRUE(UseRotation);
    Seed(2024);
    Input::Click(*W().MyScramble());
    ASSERT_FALSE(W().MyScramble()->Enabled()) << "Scramble did not run";
    Input::ProcessEvents(150);

    int turns = 0;
    // From the highest index down: a piece created earlier lies above one
    // created later, so the pieces still to place are never covered by the
    // ones already home.
    for (int32_t i = Pieces - 1; i >= 0; --i) {
        SCOPED_TRACE("piece " + std::to_string(i));
        int32_t code = fw::ToInt32(fw::Val(Code(i)));
        // Right it the short way: one turn back for 1, two for 2, one on for 3.
        while (code != 0) {
            bool clockwise = code >= 2;
            Turn(i, clockwise, turns++);
            int32_t next = fw::ToInt32(fw::Val(Code(i)));
            ASSERT_EQ(next, clockwise ? (code + 1) % 4 : code - 1);
            code = next;
        }
        ASSERT_EQ(ComparePieceWithTile(Piece(i).Backdrop().get(), i, 0), "");
        // Dropped a little off its home; the snapping timer puts it there.
        DragTo(i, HomeLeft(i) + 11 - i % 7, HomeTop(i) - 9 + i % 5);
        Input::ProcessEvents(60);
    }
    EXPECT_TRUE(ProcessUntil([&] { return W().CountEm()->Mode() == 0; }));

    for (int32_t i = 0; i < Pieces; ++i) {
        EXPECT_EQ(Piece(i).Left(), HomeLeft(i));
        EXPECT_EQ(Piece(i).Top(), HomeTop(i));
    }
    EXPECT_EQ(Label(), "25");
    EXPECT_EQ(W().CountEm()->Mode(), 0);
    EXPECT_EQ(W().Timer1()->Mode(), 2) << "snapping goes on after the count";
    ASSERT_GE(m_sounds.size(), 2u);
    EXPECT_EQ(m_sounds.back(), "Applause.wav");
    EXPECT_EQ(m_sounds[m_sounds.size() - 2], "Ping.wav");
    EXPECT_EQ(std::count(m_sounds.begin(), m_sounds.end(), "Applause.wav"), 1);

    // The finished board: no further counting pass, whatever the player does.
    DragTo(0, 600, 300);
    Input::ProcessEvents(250);
    EXPECT_EQ(Label(), "25");
    EXPECT_EQ(std::count(m_sounds.begin(), m_sounds.end(), "Applause.wav"), 1);

    // "New" by its button: all back to the ready state.
    Input::Click(*W().MyNew());
    EXPECT_TRUE(W().MyScramble()->Enabled());
    EXPECT_EQ(Label(), "0");
    EXPECT_EQ(Piece(0).Left(), HomeLeft(0));
    EXPECT_EQ(Piece(0).Backdrop(), nullptr);
}

} // namespace
} // namespace gametest
