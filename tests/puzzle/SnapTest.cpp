#include "GameTestSupport.h"

#include <limits>

namespace gametest {
namespace {

using namespace GameRules;

TEST(SnapRule, ReachesExactlyTwentyPointsAlongEachAxis)
{
    struct Case {
        int32_t dx, dy;
        bool snaps;
    };
    const Case cases[] = {
        { 0, 0, true }, { 20, -20, true }, { -20, 20, true }, { 20, 20, true }, { -20, -20, true },
        { 21, 0, false }, { 0, -21, false }, { -21, 0, false }, { 0, 21, false }, { 21, 21, false },
        { 20, 21, false }, { 1000, 0, false }, { -100, -100, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        EXPECT_EQ(SnapsHome(220 + c.dx, 120 + c.dy, "220", "120", "0"), c.snaps);
    }
}

TEST(SnapRule, OnlyTheNumberZeroIsUpright)
{
    for (const char* code : { "1", "2", "3", "-1", "-2", "-3", "0.5" })
        EXPECT_FALSE(SnapsHome(220, 120, "220", "120", code)) << code;
    // "Val" reads these as zero, and snapping compares numbers.
    for (const char* code : { "0", "-0", "00", "" })
        EXPECT_TRUE(SnapsHome(220, 120, "220", "120", code)) << '"' << code << '"';
}

TEST(SnapRule, FarPositionsNeitherOverflowNorSnap)
{
    constexpr int32_t big = std::numeric_limits<int32_t>::max();
    constexpr int32_t small = std::numeric_limits<int32_t>::min();
    EXPECT_FALSE(SnapsHome(big, 120, "220", "120", "0"));
    EXPECT_FALSE(SnapsHome(small, small, "220", "120", "0"));
}

class SnapTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Scramble();
    }
    // Where slot j's piece went, so tests can work with a known piece.
    int32_t PieceOnSlot(int32_t j) { return Slots[size_t(j)]; }
};

TEST_F(SnapTest, AnUprightPieceNearItsHomeIsPulledOntoIt)
{
    Move(7, HomeLeft(7) + 20, HomeTop(7) - 20);
    Move(9, HomeLeft(9) - 20, HomeTop(9) + 20);
    SnapPass();
    EXPECT_EQ(Piece(7).Left(), HomeLeft(7));
    EXPECT_EQ(Piece(7).Top(), HomeTop(7));
    EXPECT_EQ(Piece(9).Left(), HomeLeft(9));
    EXPECT_EQ(Piece(9).Top(), HomeTop(9));
}

TEST_F(SnapTest, OnePointTooFarStaysPut)
{
    Move(7, HomeLeft(7) + 21, HomeTop(7));
    Move(9, HomeLeft(9), HomeTop(9) - 21);
    SnapPass();
    EXPECT_EQ(Piece(7).Left(), HomeLeft(7) + 21);
    EXPECT_EQ(Piece(9).Top(), HomeTop(9) - 21);
}

TEST_F(SnapTest, ATurnedPieceNeverSnapsAndStaysWhereItIsPut)
{
    for (const char* code : { "1", "2", "3", "-1", "-2", "-3" }) {
        SCOPED_TRACE(code);
        Table().SetCell(7, ColumnRotation, code);
        Move(7, HomeLeft(7) + 3, HomeTop(7) + 3);
        SnapPass();
        EXPECT_EQ(Piece(7).Left(), HomeLeft(7) + 3);
        Move(7, HomeLeft(7), HomeTop(7));
        SnapPass();
        EXPECT_EQ(Piece(7).Left(), HomeLeft(7));
        EXPECT_EQ(Piece(7).Top(), HomeTop(7));
    }
}

TEST_F(SnapTest, APieceIsNeverPulledOntoAnotherSlot)
{
    // Piece 7 near slot 8's home; slot 8 is 100 points right of 7's.
    Move(7, HomeLeft(8) + 5, HomeTop(8) + 5);
    SnapPass();
    EXPECT_EQ(Piece(7).Left(), HomeLeft(8) + 5);
    EXPECT_EQ(Piece(7).Top(), HomeTop(8) + 5);
}

TEST_F(SnapTest, PiecesDealtOntoOtherSlotsStayAndOwnSlotsAreKept)
{
    std::vector<std::pair<int32_t, int32_t>> before;
    for (int32_t i = 0; i < Pieces; ++i)
        before.emplace_back(Piece(i).Left(), Piece(i).Top());
    SnapPass();
    for (int32_t i = 0; i < Pieces; ++i) {
        EXPECT_EQ(Piece(i).Left(), before[i].first);
        EXPECT_EQ(Piece(i).Top(), before[i].second);
    }
}

TEST_F(SnapTest, SnappingGoesOnAfterTheCountReachesTwentyFive)
{
    Solve();
    CountPass();
    ASSERT_EQ(Label(), "25");
    ASSERT_EQ(W().CountEm()->Mode(), 0);
    EXPECT_EQ(W().Timer1()->Mode(), 2);
    Move(13, HomeLeft(13) - 15, HomeTop(13) + 11);
    SnapPass();
    EXPECT_EQ(Piece(13).Left(), HomeLeft(13));
    EXPECT_EQ(Piece(13).Top(), HomeTop(13));
}

TEST_F(SnapTest, AHalfBuiltTableSkipsThePass)
{
    Move(7, HomeLeft(7) + 5, HomeTop(7));
    Table().DeleteAllRows();
    for (int32_t i = 0; i < 12; ++i)
        Table().AddRow(std::to_string(i));
    EXPECT_NO_THROW(SnapPass());
    EXPECT_EQ(Piece(7).Left(), HomeLeft(7) + 5);
}

} // namespace
} // namespace gametest
