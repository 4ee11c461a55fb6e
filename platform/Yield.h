#pragma once

#include <cstdint>

namespace fw {

// The background-task yield: the program has one thread, so this delivers no
// events. Tests may read the count.
void BackgroundTaskYield();
uint64_t BackgroundTaskYieldCount();
void ResetBackgroundTaskYieldCount();

} // namespace fw
