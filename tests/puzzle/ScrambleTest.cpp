#include "GameTestSupport.h"

#include <numeric>
#include <set>

#include "puzzle/Scrambling.h"

namespace gametest {
namespace {

using namespace GameRules;

class ScrambleTest : public GameTest {
protected:
    // Checks the deal against Slots and the table, and returns the piece on
    // each slot.
    void ExpectDealMatchesSlots()
    {
        std::set<std::string> dealt;
        for (int32_t j = 0; j < Pieces; ++j) {
            SCOPED_TRACE("slot " + std::to_string(j));
            int32_t k = Slots[size_t(j)];
            ASSERT_GE(k, 0);
            ASSERT_LT(k, Pieces);
            EXPECT_EQ(Table().Cell(j, ColumnPosition), std::to_string(k));
            dealt.insert(Table().Cell(j, ColumnPosition));
            EXPECT_EQ(Piece(k).Left(), HomeLeft(j));
            EXPECT_EQ(Piece(k).Top(), HomeTop(j));
        }
        EXPECT_EQ(dealt.size(), size_t(Pieces)) << "column 1 must name each piece once";
    }

    void ExpectPiecesAreTheirTilesTurnedByTheirCodes()
    {
        for (int32_t i = 0; i < Pieces; ++i) {
            int32_t code = fw::ToInt32(fw::Val(Code(i)));
            EXPECT_EQ(ComparePieceWithTile(Piece(i).Backdrop().get(), i, code), "");
        }
    }

    void ExpectRunningGame()
    {
        EXPECT_FALSE(W().MyScramble()->Enabled());
        EXPECT_FALSE(W().MyScramble()->Default());
        EXPECT_TRUE(W().MyNew()->Default());
        EXPECT_EQ(W().Timer1()->Mode(), 2);
        EXPECT_EQ(W().CountEm()->Mode(), 2);
        EXPECT_EQ(W().Canvas1()->Backdrop(), nullptr);
    }
};

// The deal that a shuffle of 0 to 24 gives under `seed`.
std::vector<int32_t> ShuffledUnder(uint64_t seed)
{
    fw::SeedFrameworkRandomness(seed);
    std::vector<int32_t> deal(Pieces);
    std::iota(deal.begin(), deal.end(), 0);
    fw::Shuffle(deal);
    return deal;
}

TEST_F(ScrambleTest, WithoutRotationCutsDealsAndStartsTheGame)
{
    const std::vector<int32_t> expected = ShuffledUnder(42);
    Seed(42);
    Scramble();
    ExpectDealMatchesSlots();
    // The deal is the shuffle's: pieces left on their own homes would start
    // the game already solved.
    EXPECT_EQ(Slots, expected);
    std::vector<int32_t> unshuffled(expected.size());
    std::iota(unshuffled.begin(), unshuffled.end(), 0);
    EXPECT_NE(Slots, unshuffled);
    for (int32_t i = 0; i < Pieces; ++i)
        EXPECT_EQ(Code(i), "0");
    ExpectPiecesAreTheirTilesTurnedByTheirCodes();
    ExpectRunningGame();
}

TEST_F(ScrambleTest, WithRotationTurnsEachPieceAndRecordsItsCode)
{
    UseRotation = true;
    Seed(7);
    // A twin of Rnd, seeded alike: one draw from 0 to 3 per piece, in piece
    // order, gives each piece its code.
    fw::SeedFrameworkRandomness(7);
    fw::Random twin;
    Scramble();
    ExpectDealMatchesSlots();
    std::set<std::string> codes;
    for (int32_t i = 0; i < Pieces; ++i) {
        EXPECT_EQ(Code(i), std::to_string(twin.InRange(0, 3))) << "piece " << i;
        codes.insert(Code(i));
    }
    // With 25 draws from four values every turn shows up for this seed; the
    // check guards against a draw that always gives the same value.
    EXPECT_EQ(codes.size(), 4u);
    ExpectPiecesAreTheirTilesTurnedByTheirCodes();
    ExpectRunningGame();
}

TEST_F(ScrambleTest, TheSameSeedDealsTheSameGameAndAnotherSeedAnother)
{
    UseRotation = true;
    auto deal = [this](uint64_t seed) {
        NewGame();
        W().Canvas1()->SetBackdrop(m_board);
        Seed(seed);
        Scramble();
        std::vector<std::string> cells;
        for (int32_t j = 0; j < Pieces; ++j)
            cells.push_back(Table().Cell(j, ColumnPosition) + "/" + Code(j));
        return cells;
    };
    EXPECT_EQ(deal(3), deal(3));
    EXPECT_NE(deal(3), deal(4));
    // Without turns the codes are all "0": the deal alone must differ.
    UseRotation = false;
    EXPECT_NE(deal(3), deal(4));
}

TEST_F(ScrambleTest, CapturesFollowTheWindowWhereverItStands)
{
    W().SetTop(87);
    W().SetLeft(53);
    Scramble();
    ExpectPiecesAreTheirTilesTurnedByTheirCodes();
}

TEST_F(ScrambleTest, AnEmptyBoardIsStillCut)
{
    // The dialog was cancelled: the board shows the white frame under it.
    W().Canvas1()->SetBackdrop(nullptr);
    Scramble();
    ExpectDealMatchesSlots();
    for (int32_t i = 0; i < Pieces; ++i) {
        auto picture = Piece(i).Backdrop();
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Pixel(50, 50), 0xFFFFFFFFu);
    }
}

// The "Retina" cut takes 200 by 200 device pixels from the tile's corner and
// scales them into the piece. On this 1x screen that is a 2 by 2 block of
// tiles, so the piece's quarters show tile (r, c), its right neighbour, the
// one below and the one diagonally below.
class RetinaScrambleTest : public ScrambleTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RetinaScrambleTest, CapturesTwiceTheSizeAndScalesItDown)
{
    ScaleFactor = GetParam();
    // What the window shows before the cut, for the pieces whose capture
    // reaches past the board.
    auto shown = fw::GrabWindow(W());
    ASSERT_NE(shown, nullptr);
    Scramble();
    ExpectDealMatchesSlots();
    auto near = [](uint32_t a, uint32_t b) {
        for (int shift : { 0, 8, 16, 24 })
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 4)
                return false;
        return true;
    };
    for (int32_t r = 0; r < 4; ++r) {
        for (int32_t c = 0; c < 4; ++c) {
            int32_t i = 5 * r + c;
            SCOPED_TRACE("piece " + std::to_string(i));
            auto picture = Piece(i).Backdrop();
            ASSERT_NE(picture, nullptr);
            ASSERT_EQ(picture->Width(), 100);
            ASSERT_EQ(picture->Height(), 100);
            // Piece pixel (x, y) shows board pixels (2x, 2y) to (2x+1, 2y+1)
            // from the tile's corner; sample away from the quarter seams.
            for (int32_t y : { 5, 20, 40, 60, 80, 95 }) {
                for (int32_t x : { 5, 20, 40, 60, 80, 95 }) {
                    int32_t bx = 2 * x, by = 2 * y;
                    int32_t tile = i + (bx / 100) + 5 * (by / 100);
                    uint32_t expected = TilePixel(tile, bx % 100, by % 100) + 0x000101;
                    EXPECT_TRUE(near(picture->Pixel(x, y), expected))
                        << "at (" << x << "," << y << ") " << std::hex << picture->Pixel(x, y) << " vs " << expected;
                }
            }
        }
    }

    // The last row and column: their captures reach past the board, across
    // the labels beside it and below the window's bottom edge, where the
    // screen shows white. Compared where the window is plain enough that any
    // way of halving gives the same colour.
    auto screen = [&](int32_t x, int32_t y) -> uint32_t {
        if (x < 0 || y < 0 || x >= shown->Width() || y >= shown->Height())
            return 0xFFFFFFFFu;
        return shown->Pixel(x, y) | 0xFF000000u;
    };
    auto channel = [](uint32_t p, int shift) { return int((p >> shift) & 0xFF); };
    for (int32_t i = 0; i < Pieces; ++i) {
        const int32_t r = i / GridSize, c = i % GridSize;
        if (r < GridSize - 1 && c < GridSize - 1)
            continue;
        SCOPED_TRACE("piece " + std::to_string(i));
        auto picture = Piece(i).Backdrop();
        ASSERT_NE(picture, nullptr);
        ASSERT_EQ(picture->Width(), 100);
        int32_t checkedPastBoard = 0;
        for (int32_t y = 1; y < 99; y += 3) {
            for (int32_t x = 1; x < 99; x += 3) {
                const int32_t bx = BoardOrigin + TileSize * c + 2 * x, by = BoardOrigin + TileSize * r + 2 * y;
                uint32_t first = screen(bx - 1, by - 1);
                bool plain = true;
                for (int32_t dy = -1; dy <= 2 && plain; ++dy)
                    for (int32_t dx = -1; dx <= 2 && plain; ++dx)
                        for (int shift : { 0, 8, 16 })
                            plain = plain && std::abs(channel(screen(bx + dx, by + dy), shift) - channel(first, shift)) <= 2;
                if (!plain)
                    continue;
                EXPECT_TRUE(near(picture->Pixel(x, y) | 0xFF000000u, screen(bx, by)))
                    << "at (" << x << "," << y << ") " << std::hex << picture->Pixel(x, y) << " vs " << screen(bx, by);
                checkedPastBoard += bx >= BoardOrigin + GridSize * TileSize || by >= BoardOrigin + GridSize * TileSize;
            }
        }
        EXPECT_GT(checkedPastBoard, 100);
    }
}

INSTANTIATE_TEST_SUITE_P(ScaleFactors, RetinaScrambleTest, ::testing::Values(2, 0),
    [](const auto& info) { return "ScaleFactor" + std::to_string(info.param); });

TEST_F(ScrambleTest, TurningPiecesWithoutPicturesRecordsTheTurnsAndKeepsThemEmpty)
{
    // A capture that gave no picture leaves a piece empty; turning it must
    // neither fail nor invent a picture, and its code still records the turn.
    UseRotation = true;
    for (int32_t i = 0; i < Pieces; ++i)
        Piece(i).SetBackdrop(nullptr);
    Seed(9);
    RandomRotatePieces();
    int32_t turned = 0;
    for (int32_t i = 0; i < Pieces; ++i) {
        EXPECT_EQ(Piece(i).Backdrop(), nullptr);
        turned += Code(i) != "0";
    }
    EXPECT_GT(turned, 0);
}

} // namespace
} // namespace gametest
