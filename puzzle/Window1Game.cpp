// The game's handlers of the main window: "Scramble", "New", and the two
// timers that snap pieces home and count the solved ones.
#include "puzzle/Window1.h"

#include "module/Globals.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"
#include "puzzle/Counting.h"
#include "puzzle/DraggableCanvas.h"
#include "puzzle/GameRules.h"
#include "puzzle/PictureLoading.h"
#include "puzzle/PicturePlugins.h"
#include "puzzle/PieceTable.h"
#include "puzzle/Scrambling.h"

using namespace GameRules;

namespace {

// The "Retina" cut: a 200 by 200 capture drawn scaled into a 100 by 100
// piece. A capture that gives no picture leaves the piece without one rather
// than failing the whole scramble on drawing nothing.
std::shared_ptr<fw::Picture> ScaledCapture(int32_t left, int32_t top)
{
    auto capture = ScreenshotRectMBS(left, top, 2 * TileSize, 2 * TileSize);
    if (!capture)
        return nullptr;
    auto piece = fw::NewPicture(TileSize, TileSize, 32);
    piece->GetGraphics()->DrawPicture(capture, 0, 0, TileSize, TileSize, 0, 0, 2 * TileSize, 2 * TileSize);
    return piece;
}

} // namespace

void Window1::MyScramble_Action(fw::PushButton&)
{
    ResetPieceTable();

    // The cut takes what the screen shows over each tile: the board picture,
    // with the pieces still transparent above it. The branch is chosen once;
    // only exactly 1 means plain captures (0 from a settings file without the
    // line cuts like "Retina").
    const bool plainCapture = ScaleFactor == 1;
    for (int32_t r = 0; r < GridSize; ++r) {
        for (int32_t c = 0; c < GridSize; ++c) {
            int32_t i = GridSize * r + c;
            auto window = Window1Instance();
            int32_t left = window->Left() + BoardOrigin + TileSize * c;
            int32_t top = window->Top() + BoardOrigin + TileSize * r;
            auto& piece = fw::Deref(Snaps(i), "Snaps");
            if (plainCapture)
                piece.SetBackdrop(ScreenshotRectMBS(left, top, TileSize, TileSize));
            else
                piece.SetBackdrop(ScaledCapture(left, top));
            fw::BackgroundTaskYield();
        }
    }

    fw::Deref(Canvas1(), "Canvas1").SetBackdrop(nullptr);
    ScramblePieces();

    auto& scramble = fw::Deref(MyScramble(), "MyScramble");
    scramble.SetEnabled(false);
    scramble.SetDefault(false);
    fw::Deref(MyNew(), "MyNew").SetDefault(true);
    fw::Deref(Timer1(), "Timer1").SetMode(2);
    fw::Deref(CountEm(), "CountEm").SetMode(2);
}

void Window1::Timer1_Action(fw::Timer&)
{
    auto& table = fw::Deref(LB1(), "LB1");
    // The table is rebuilt row by row; a pass over a partial table would read
    // rows that are not there, so it waits for the next tick instead.
    if (table.ListCount() < PieceCount)
        return;
    for (int32_t i = 0; i < PieceCount; ++i) {
        auto& piece = fw::Deref(Snaps(i), "Snaps");
        if (SnapsHome(piece.Left(), piece.Top(), table.Cell(i, ColumnHomeLeft), table.Cell(i, ColumnHomeTop),
                table.Cell(i, ColumnRotation))) {
            piece.SetLeft(fw::ToInt32(fw::Val(table.Cell(i, ColumnHomeLeft))));
            piece.SetTop(fw::ToInt32(fw::Val(table.Cell(i, ColumnHomeTop))));
        }
        fw::BackgroundTaskYield();
    }
}

void Window1::CountEm_Action(fw::Timer&)
{
    CountCorrectPieces();
}

void Window1::MyNew_Action(fw::PushButton&)
{
    ResetPieceTable();
    fw::Deref(Canvas1(), "Canvas1").SetBackdrop(nullptr);
    fw::Deref(Canvas2(), "Canvas2").SetBackdrop(nullptr);
    Window1Instance()->Refresh(true);

    LoadPuzzlePicture();

    auto& table = fw::Deref(LB1(), "LB1");
    for (int32_t i = 0; i < PieceCount; ++i) {
        auto& piece = fw::Deref(Snaps(i), "Snaps");
        piece.SetBackdrop(nullptr);
        piece.SetLeft(fw::ToInt32(fw::Val(table.Cell(i, ColumnHomeLeft))));
        piece.SetTop(fw::ToInt32(fw::Val(table.Cell(i, ColumnHomeTop))));
        fw::BackgroundTaskYield();
    }
    Window1Instance()->Refresh(true);

    auto& scramble = fw::Deref(MyScramble(), "MyScramble");
    fw::Deref(MyNew(), "MyNew").SetDefault(false);
    scramble.SetDefault(true);
    scramble.SetEnabled(true);
    fw::Deref(MyCorrect(), "MyCorrect").SetText("0");
    fw::Deref(Timer1(), "Timer1").SetMode(0);
    fw::Deref(CountEm(), "CountEm").SetMode(0);
}
