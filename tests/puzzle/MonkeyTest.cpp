#include "GameTestSupport.h"

#include <cstdlib>
#include <random>

#include "platform/CheckBox.h"
#include "platform/testsupport/InputDriver.h"

namespace gametest {
namespace {

using namespace GameRules;
namespace Input = fw::Input;

// Random play: presses, drags, double-clicks with random keys, timer ticks,
// "New", "Scramble" and option changes, in any order and anywhere in (and
// beyond) the window. After every step the game's invariants must hold. The
// timers are ticked by hand, the way the event loop would deliver them, so
// thousands of steps take seconds. A failure names its seed; set
// TAVRINE_MONKEY_SEED to replay it.
class MonkeyTest : public GameTest {
protected:
    std::string CheckInvariants()
    {
        bool timerRunning = W().Timer1()->Mode() != 0 || W().CountEm()->Mode() != 0;
        if (timerRunning && Table().ListCount() != Pieces)
            return "a timer runs over a table of " + std::to_string(Table().ListCount()) + " rows";
        for (int32_t i = 0; i < Table().ListCount(); ++i) {
            const std::string& code = Table().Cell(i, ColumnRotation);
            bool whole = false;
            for (int32_t n = -3; n <= 3; ++n)
                whole = whole || code == std::to_string(n);
            if (!whole)
                return "row " + std::to_string(i) + " has the code \"" + code + "\"";
        }
        std::string label = Label();
        bool digits = !label.empty() && label.size() <= 2
            && std::all_of(label.begin(), label.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || std::stoi(label) > Pieces)
            return "the label shows \"" + label + "\"";
        if (W().CountEm()->Mode() == 0 && W().Timer1()->Mode() != 0 && label != "25")
            return "counting stopped during a game at " + label;
        return "";
    }

    void RandomKeys(std::mt19937_64& random)
    {
        Input::SetModifierKeys(random() % 3 == 0, random() % 3 == 0);
        for (int32_t key : { KeyLeftArrow, KeyRightArrow }) {
            if (random() % 3 == 0)
                Input::KeyDown(key);
            else
                Input::KeyUp(key);
        }
    }

    void Step(std::mt19937_64& random)
    {
        auto coordinate = [&](int32_t low, int32_t high) {
            return low + int32_t(random() % uint64_t(high - low + 1));
        };
        switch (random() % 20) {
        case 0:
        case 1:
        case 2:
        case 3: { // a drag, often of a piece, sometimes of nothing
            int32_t x = coordinate(0, 864), y = coordinate(0, 541);
            if (random() % 3 != 0) {
                auto& piece = Piece(coordinate(0, Pieces - 1));
                x = std::clamp(piece.Left() + coordinate(0, 99), 0, 864);
                y = std::clamp(piece.Top() + coordinate(0, 99), 0, 541);
            }
            Input::MouseDown(W(), x, y);
            int moves = coordinate(0, 4);
            for (int m = 0; m < moves; ++m) {
                x = coordinate(-200, 1100);
                y = coordinate(-200, 800);
                Input::MouseMove(W(), x, y);
            }
            Input::MouseUp(W(), x, y);
            break;
        }
        case 4:
        case 5:
        case 6: { // a few double-clicks with random keys on a piece in the window
            RandomKeys(random);
            auto& piece = Piece(coordinate(0, Pieces - 1));
            int32_t x = piece.Left() + coordinate(0, 99), y = piece.Top() + coordinate(0, 99);
            int clicks = coordinate(1, 5);
            for (int c = 0; c < clicks && x >= 0 && y >= 0 && x < 865 && y < 542; ++c)
                Input::DoubleClick(W(), x, y);
            break;
        }
        case 7: // a piece brought near its home, so snapping and counting act
        case 8: {
            int32_t i = coordinate(0, Pieces - 1);
            Move(i, HomeLeft(i) + coordinate(-22, 22), HomeTop(i) + coordinate(-22, 22));
            break;
        }
        case 9:
        case 10:
        case 11:
        case 12:
            if (W().Timer1()->Mode() != 0)
                W().Timer1()->Event_Action();
            break;
        case 13:
        case 14:
        case 15:
            if (W().CountEm()->Mode() != 0)
                W().CountEm()->Event_Action();
            break;
        case 16:
            if (random() % 4 == 0) {
                W().MyNew()->Push();
                W().Canvas1()->SetBackdrop(random() % 2 ? m_board : nullptr);
            }
            break;
        case 17:
            if (random() % 2 == 0)
                W().MyScramble()->Push();
            break;
        case 18:
            UseRotation = random() % 3 != 0;
            break;
        case 19:
            ScaleFactor = int32_t(random() % 3);
            break;
        }
    }
};

TEST_F(MonkeyTest, RandomPlayKeepsTheGameConsistent)
{
    std::vector<uint64_t> seeds = { 1, 2, 3 };
    if (const char* fixed = std::getenv("TAVRINE_MONKEY_SEED"))
        seeds = { std::strtoull(fixed, nullptr, 10) };
    else
        seeds.push_back(std::random_device {}());
    for (uint64_t seed : seeds) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with TAVRINE_MONKEY_SEED=" + std::to_string(seed)
            + ")");
        NewGame();
        W().Canvas1()->SetBackdrop(m_board);
        Seed(seed);
        std::mt19937_64 random(seed);
        for (int step = 0; step < 2500; ++step) {
            Step(random);
            std::string broken = CheckInvariants();
            ASSERT_EQ(broken, "") << "after step " << step;
        }
        Input::SetModifierKeys(false, false);
        Input::KeyUp(KeyLeftArrow);
        Input::KeyUp(KeyRightArrow);
    }
}

} // namespace
} // namespace gametest
