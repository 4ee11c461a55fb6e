#include "puzzle/Scrambling.h"

#include "module/Globals.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Exceptions.h"
#include "platform/Random.h"
#include "puzzle/DraggableCanvas.h"
#include "puzzle/GameRules.h"
#include "puzzle/PicturePlugins.h"
#include "puzzle/Window1.h"

using namespace GameRules;

namespace {

// Slots is a fixed array of 25; reaching past it is the framework's
// out-of-bounds failure, never a write into freed or foreign memory.
int32_t& SlotAt(int32_t j)
{
    if (j < 0 || size_t(j) >= Slots.size())
        throw fw::OutOfBoundsException("Slots(" + IntText(j) + ")");
    return Slots[size_t(j)];
}

} // namespace

void ScramblePieces()
{
    auto window = Window1Instance();
    auto& table = fw::Deref(window->LB1(), "LB1");
    table.Refresh(true);

    RandomRotatePieces();

    for (int32_t j = 0; j < PieceCount; ++j) {
        SlotAt(j) = j;
        fw::BackgroundTaskYield();
    }
    fw::Shuffle(Slots);

    // Deal: piece k goes onto home slot j, and the table remembers the deal.
    for (int32_t j = 0; j < PieceCount; ++j) {
        int32_t k = SlotAt(j);
        auto& piece = fw::Deref(window->Snaps(k), "Snaps");
        piece.SetLeft(fw::ToInt32(fw::Val(table.Cell(j, ColumnHomeLeft))));
        piece.SetTop(fw::ToInt32(fw::Val(table.Cell(j, ColumnHomeTop))));
        table.SetCell(j, ColumnPosition, IntText(k));
        fw::BackgroundTaskYield();
    }
}

void RandomRotatePieces()
{
    if (!UseRotation)
        return;
    auto window = Window1Instance();
    auto& table = fw::Deref(window->LB1(), "LB1");
    auto& random = fw::Deref(Rnd, "Rnd");
    for (int32_t i = 0; i < PieceCount; ++i) {
        int32_t turns = random.InRange(0, 3);
        auto& piece = fw::Deref(window->Snaps(i), "Snaps");
        // A piece whose capture gave no picture stays without one: the turns
        // give nil for nil, and its code still records the turn.
        auto picture = piece.Backdrop();
        switch (turns) {
        case 1:
            piece.SetBackdrop(Rotate270MBS(picture));
            table.SetCell(i, ColumnRotation, "1");
            break;
        case 2:
            piece.SetBackdrop(Rotate180MBS(picture));
            table.SetCell(i, ColumnRotation, "2");
            break;
        case 3:
            piece.SetBackdrop(Rotate90MBS(picture));
            table.SetCell(i, ColumnRotation, "3");
            break;
        default:
            break;
        }
        fw::BackgroundTaskYield();
    }
}
