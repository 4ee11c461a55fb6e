#include "puzzle/DraggableCanvas.h"

#include "module/Globals.h"
#include "platform/Exceptions.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "puzzle/GameRules.h"
#include "puzzle/PicturePlugins.h"

using namespace GameRules;

bool DraggableCanvas::Event_MouseDown(int32_t, int32_t)
{
    // Remember where in the piece the mouse took hold, so that point stays
    // under the mouse while it drags.
    DragOffsetX = SaturatingSub(MouseX(), Left());
    DragOffsetY = SaturatingSub(MouseY(), Top());
    return true;
}

void DraggableCanvas::Event_MouseDrag(int32_t, int32_t)
{
    // No bound: a piece may go anywhere, even wholly out of the window.
    SetLeft(SaturatingSub(MouseX(), DragOffsetX));
    SetTop(SaturatingSub(MouseY(), DragOffsetY));
}

void DraggableCanvas::Event_DoubleClick(int32_t, int32_t)
{
    auto window = std::dynamic_pointer_cast<PieceBoard>(GetWindow());
    if (!window)
        return;
    // Turning belongs to a running game: "Scramble" is disabled exactly while
    // one runs.
    if (fw::Deref(window->MyScramble(), "MyScramble").Enabled() || !UseRotation)
        return;

    int32_t idx = TabIndex();
    auto& table = fw::Deref(window->LB1(), "LB1");
    // Only a whole table has a code for every piece; a table still being
    // rebuilt, or an index it has no row for, turns nothing.
    if (table.ListCount() < PieceCount || idx < 0 || idx >= table.ListCount())
        return;

    auto& piece = fw::Deref(window->Snaps(idx), "Snaps");
    auto picture = piece.Backdrop();
    // The keyboard is read as it is now, clockwise keys first.
    Turn turn = TurnFor(fw::Keyboard::AsyncKeyDown(KeyRightArrow), fw::Keyboard::AsyncOptionKey(),
        fw::Keyboard::AsyncKeyDown(KeyLeftArrow), fw::Keyboard::AsyncControlKey());
    if (turn == Turn::None)
        return;
    // A piece without a picture stays without one (nil turns to nil) while
    // its code still follows the turn.
    piece.SetBackdrop(turn == Turn::Clockwise ? Rotate270MBS(picture) : Rotate90MBS(picture));
    table.SetCell(idx, ColumnRotation, TurnedCode(table.Cell(idx, ColumnRotation), turn));
}
