#include "platform/Random.h"

#include <optional>
#include <string>
#include <utility>

namespace fw {

namespace {

// SplitMix64 spreads one seed into well-separated seeds for the engines, so
// two Random objects made after seeding never share a sequence.
uint64_t SplitMix(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t EntropySeed()
{
    std::random_device device;
    return (uint64_t(device()) << 32) ^ uint64_t(device());
}

struct Seeding {
    std::optional<uint64_t> State; // set once tests seed the framework
    std::mt19937_64 ShuffleEngine { EntropySeed() };
};

Seeding& Global()
{
    static Seeding seeding;
    return seeding;
}

// A uniform whole number in [0, range) without modulo bias (Lemire's
// multiply-and-reject), written out so that a seeded sequence is the same
// with every standard library.
uint64_t Below(std::mt19937_64& engine, uint64_t range)
{
    unsigned __int128 product = (unsigned __int128)engine() * range;
    uint64_t low = uint64_t(product);
    if (low < range) {
        uint64_t threshold = (0 - range) % range;
        while (low < threshold) {
            product = (unsigned __int128)engine() * range;
            low = uint64_t(product);
        }
    }
    return uint64_t(product >> 64);
}

} // namespace

Random::Random()
{
    Seeding& global = Global();
    m_engine.seed(global.State ? SplitMix(*global.State) : EntropySeed());
}

int32_t Random::InRange(int32_t low, int32_t high)
{
    // A reversed range is a programming mistake; answering with a number
    // from some guessed range would hide it.
    if (low > high)
        throw OutOfBoundsException("Random.InRange: low " + std::to_string(low) + " is above high "
            + std::to_string(high));
    uint64_t range = uint64_t(int64_t(high) - int64_t(low)) + 1;
    return int32_t(int64_t(low) + int64_t(Below(m_engine, range)));
}

void Shuffle(std::vector<int32_t>& values)
{
    std::mt19937_64& engine = Global().ShuffleEngine;
    for (size_t i = values.size(); i > 1; --i) {
        size_t j = size_t(Below(engine, i));
        std::swap(values[i - 1], values[j]);
    }
}

void SeedFrameworkRandomness(uint64_t seed)
{
    Seeding& global = Global();
    global.State = seed;
    global.ShuffleEngine.seed(SplitMix(*global.State));
}

} // namespace fw
