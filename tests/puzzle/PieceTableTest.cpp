#include "GameTestSupport.h"

#include "puzzle/PieceTable.h"

namespace gametest {
namespace {

using namespace GameRules;

class PieceTableTest : public GameTest {
protected:
    void ExpectFreshTable()
    {
        ForEachTableRow("row", [&](int32_t i) {
            EXPECT_EQ(Table().Cell(i, ColumnRow), std::to_string(i));
            EXPECT_EQ(Table().Cell(i, ColumnPosition), "");
            EXPECT_EQ(Table().Cell(i, ColumnHomeLeft), std::to_string(20 + 100 * (i % 5)));
            EXPECT_EQ(Table().Cell(i, ColumnHomeTop), std::to_string(20 + 100 * (i / 5)));
            EXPECT_EQ(Table().Cell(i, ColumnRotation), "0");
        });
    }
};

TEST_F(PieceTableTest, ResetGivesTheSameTwentyFiveRowsWhateverTheTableHeld)
{
    for (int32_t rows : { 0, 3, 25, 40 }) {
        SCOPED_TRACE(std::to_string(rows) + " rows before");
        Table().DeleteAllRows();
        for (int32_t r = 0; r < rows; ++r) {
            Table().AddRow("junk");
            Table().SetCell(r, ColumnPosition, "7");
            Table().SetCell(r, ColumnRotation, "-3");
        }
        ResetPieceTable();
        ExpectFreshTable();
    }
    // Row 7 lies in grid row 1, column 2.
    EXPECT_EQ(Table().Cell(7, ColumnHomeLeft), "220");
    EXPECT_EQ(Table().Cell(7, ColumnHomeTop), "120");
}

TEST_F(PieceTableTest, ResetAfterScrambleForgetsTheDealAndCodesButLeavesThePieces)
{
    UseRotation = true;
    Scramble();
    std::vector<std::pair<int32_t, int32_t>> places;
    std::vector<std::shared_ptr<fw::Picture>> pictures;
    for (int32_t i = 0; i < Pieces; ++i) {
        places.emplace_back(Piece(i).Left(), Piece(i).Top());
        pictures.push_back(Piece(i).Backdrop());
    }
    ResetPieceTable();
    ExpectFreshTable();
    for (int32_t i = 0; i < Pieces; ++i) {
        EXPECT_EQ(Piece(i).Left(), places[i].first);
        EXPECT_EQ(Piece(i).Top(), places[i].second);
        EXPECT_EQ(Piece(i).Backdrop(), pictures[i]);
    }
}

} // namespace
} // namespace gametest
