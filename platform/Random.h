#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "platform/Object.h"

namespace fw {

// Seeded from the system's entropy unless tests seed the framework.
class Random : public Object {
public:
    Random();
    std::string ClassName() const override { return "Random"; }

    // A whole number from low to high, both included.
    int32_t InRange(int32_t low, int32_t high);

private:
    std::mt19937_64 m_engine;
};

// Uniform Fisher-Yates shuffle in place.
void Shuffle(std::vector<int32_t>& values);

// Tests: makes every later Random and Shuffle deterministic from `seed`.
void SeedFrameworkRandomness(uint64_t seed);

} // namespace fw
