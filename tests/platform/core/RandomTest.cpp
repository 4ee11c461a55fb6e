#include <algorithm>
#include <limits>
#include <map>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Random.h"

using namespace fw;

namespace {

std::vector<int32_t> Draws(Random& random, int count, int32_t low, int32_t high)
{
    std::vector<int32_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(random.InRange(low, high));
    return out;
}

std::vector<int32_t> Deck()
{
    std::vector<int32_t> deck(25);
    std::iota(deck.begin(), deck.end(), 0);
    return deck;
}

} // namespace

TEST(Random, SeedingMakesDrawsAndShufflesRepeatable)
{
    SeedFrameworkRandomness(2024);
    Random first;
    Random second;
    auto a = Draws(first, 200, 1, 3);
    auto b = Draws(second, 200, 1, 3);
    auto deck = Deck();
    Shuffle(deck);

    SeedFrameworkRandomness(2024);
    Random again;
    EXPECT_EQ(Draws(again, 200, 1, 3), a);
    Random againSecond;
    EXPECT_EQ(Draws(againSecond, 200, 1, 3), b);
    auto deckAgain = Deck();
    Shuffle(deckAgain);
    EXPECT_EQ(deckAgain, deck);

    EXPECT_NE(a, b) << "two sources made after one seeding must not repeat each other";
    SeedFrameworkRandomness(2025);
    Random other;
    EXPECT_NE(Draws(other, 200, 1, 3), a);
}

TEST(Random, InRangeIncludesBothEndsAndIsEven)
{
    SeedFrameworkRandomness(7);
    Random random;
    std::map<int32_t, int> counts;
    const int n = 60000;
    for (int32_t v : Draws(random, n, -3, 3))
        ++counts[v];
    ASSERT_EQ(counts.size(), 7u);
    EXPECT_EQ(counts.begin()->first, -3);
    EXPECT_EQ(counts.rbegin()->first, 3);
    for (auto [value, count] : counts)
        EXPECT_NEAR(count, n / 7, n / 7 / 10) << value;

    EXPECT_EQ(random.InRange(5, 5), 5);
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    bool sawNegative = false, sawPositive = false;
    for (int32_t v : Draws(random, 100, lo, hi)) {
        sawNegative |= v < 0;
        sawPositive |= v > 0;
    }
    EXPECT_TRUE(sawNegative && sawPositive) << "the full Int32 range is used";
    EXPECT_GE(random.InRange(hi - 1, hi), hi - 1);
    EXPECT_LE(random.InRange(lo, lo + 1), lo + 1);

    EXPECT_THROW(random.InRange(2, 1), OutOfBoundsException);
}

TEST(Random, ShuffleIsAUniformPermutation)
{
    SeedFrameworkRandomness(99);
    auto deck = Deck();
    Shuffle(deck);
    auto sorted = deck;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, Deck());
    EXPECT_NE(deck, Deck());

    std::vector<int32_t> none;
    Shuffle(none);
    EXPECT_TRUE(none.empty());
    std::vector<int32_t> one { 4 };
    Shuffle(one);
    EXPECT_EQ(one, std::vector<int32_t> { 4 });

    // All six orders of three items come up equally often; the classic
    // off-by-one shuffles favour some orders by a third or more.
    std::map<std::vector<int32_t>, int> orders;
    const int n = 60000;
    for (int i = 0; i < n; ++i) {
        std::vector<int32_t> three { 0, 1, 2 };
        Shuffle(three);
        ++orders[three];
    }
    ASSERT_EQ(orders.size(), 6u);
    for (auto& [order, count] : orders)
        EXPECT_NEAR(count, n / 6, n / 6 / 20);

    // Every piece lands on every slot about equally often.
    std::vector<std::vector<int>> slot(25, std::vector<int>(25));
    for (int i = 0; i < 10000; ++i) {
        auto d = Deck();
        Shuffle(d);
        for (int s = 0; s < 25; ++s)
            ++slot[s][d[s]];
    }
    for (int s = 0; s < 25; ++s)
        for (int p = 0; p < 25; ++p)
            EXPECT_NEAR(slot[s][p], 400, 100) << s << "," << p;
}
