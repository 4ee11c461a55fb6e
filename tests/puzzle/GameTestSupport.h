#pragma once

// Shared by the game's tests: a running main window in the ready state, a
// generated board picture whose every pixel says which tile it belongs to and
// where in that tile it lies, and recorders for the sounds and messages.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/App.h"
#include "app/ModuleValues.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Label.h"
#include "platform/Listbox.h"
#include "platform/Picture.h"
#include "platform/PushButton.h"
#include "platform/Random.h"
#include "platform/Seams.h"
#include "platform/System.h"
#include "platform/Timer.h"
#include "puzzle/DraggableCanvas.h"
#include "puzzle/GameRules.h"
#include "puzzle/Window1.h"

namespace gametest {

constexpr int32_t Pieces = GameRules::PieceCount;

// The board pixel at (u, v) of tile i: red names the tile, green and blue the
// place inside it, so a wrong tile, a shift or a wrong turn all show.
constexpr uint32_t TilePixel(int32_t tile, int32_t u, int32_t v)
{
    return 0xFF000000u | uint32_t(10 * tile + 8) << 16 | uint32_t(2 * u + 28) << 8 | uint32_t(2 * v + 28);
}

// The place in its tile that pixel (x, y) of a piece turned `code` quarter
// turns clockwise (negative: counter-clockwise) came from.
inline std::pair<int32_t, int32_t> SourceInTile(int32_t code, int32_t x, int32_t y)
{
    constexpr int32_t last = GameRules::TileSize - 1;
    switch (((code % 4) + 4) % 4) {
    case 1:
        return { y, last - x };
    case 2:
        return { last - x, last - y };
    case 3:
        return { last - y, x };
    default:
        return { x, y };
    }
}

inline uint32_t TurnedTilePixel(int32_t tile, int32_t code, int32_t x, int32_t y)
{
    auto [u, v] = SourceInTile(code, x, y);
    return TilePixel(tile, u, v);
}

// A 500 by 500 board of 25 tiles in the pattern above.
std::shared_ptr<fw::Picture> MakeBoardPicture();

// Compares every pixel of a piece with its tile turned by `code`; returns a
// description of the first difference, or "" when they agree.
std::string ComparePieceWithTile(const fw::Picture* picture, int32_t tile, int32_t code);

// Brings the framework's side up once per process: the classes, the module
// values and the application object.
void EnsureProgramRunning();

// Each test starts from a freshly reset game on the one main window: every
// piece transparent on its home slot, "Scramble" enabled, timers stopped, the
// board showing the generated picture, module values at their start, and the
// random source seeded.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Reseeds every random source of the framework and makes a new Rnd.
    void Seed(uint64_t seed);

    Window1& W() { return *m_window; }
    fw::Listbox& Table() { return *W().LB1(); }
    DraggableCanvas& Piece(int32_t i) { return *W().Snaps(i); }
    const std::string& Code(int32_t i) { return Table().Cell(i, GameRules::ColumnRotation); }

    // Runs `check` on every row of the piece table, each traced by `what` and
    // the row, once the table holds one row for each piece.
    template <class Check>
    void ForEachTableRow(const std::string& what, Check check)
    {
        ASSERT_EQ(Table().ListCount(), Pieces);
        for (int32_t i = 0; i < Pieces; ++i) {
            SCOPED_TRACE(what + " " + std::to_string(i));
            check(i);
        }
    }
    std::string Label() { return W().MyCorrect()->Text(); }

    void Scramble() { W().MyScramble_Action(*W().MyScramble()); }
    void NewGame() { W().MyNew_Action(*W().MyNew()); }
    void SnapPass() { W().Timer1_Action(*W().Timer1()); }
    void CountPass() { W().CountEm_Action(*W().CountEm()); }

    // Puts piece i at (left, top) as a drag would leave it.
    void Move(int32_t i, int32_t left, int32_t top)
    {
        Piece(i).SetLeft(left);
        Piece(i).SetTop(top);
    }
    void MoveHome(int32_t i) { Move(i, GameRules::HomeLeft(i), GameRules::HomeTop(i)); }
    // Every piece on its own home and upright: a solved board.
    void Solve();
    // Makes exactly the first n pieces correct and the rest wrong (one point
    // off their homes).
    void MakeCorrect(int32_t n);

    // Runs the event loop until `done` holds, or gives up after a generous
    // while, so a slow machine only makes the test slower, never wrong.
    template <class Predicate>
    bool ProcessUntil(Predicate done)
    {
        for (int waited = 0; waited < 5000 && !done(); waited += 20)
            ProcessEventsFor(20);
        return done();
    }
    static void ProcessEventsFor(int milliseconds);

    // File names of the sounds played, in order.
    std::vector<std::string> m_sounds;
    std::vector<std::string> m_messages;
    std::shared_ptr<fw::Picture> m_board;

private:
    std::shared_ptr<Window1> m_window;
};

} // namespace gametest
