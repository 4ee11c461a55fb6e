#include "puzzle/PieceTable.h"

#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "puzzle/GameRules.h"
#include "puzzle/Window1.h"

using namespace GameRules;

void ResetPieceTable()
{
    auto& table = fw::Deref(Window1Instance()->LB1(), "LB1");
    table.DeleteAllRows();
    for (int32_t r = 0; r < GridSize; ++r) {
        for (int32_t c = 0; c < GridSize; ++c) {
            table.AddRow(IntText(GridSize * r + c));
            int32_t row = table.LastIndex();
            table.SetCell(row, ColumnHomeLeft, IntText(BoardOrigin + TileSize * c));
            table.SetCell(row, ColumnHomeTop, IntText(BoardOrigin + TileSize * r));
            table.SetCell(row, ColumnRotation, "0");
            fw::BackgroundTaskYield();
        }
    }
}
