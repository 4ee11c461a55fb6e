// The background-task yield lives in the core because loops of the core's
// callers (the settings reader among them) call it without the GUI library.
#include <cstdint>

#include "platform/Yield.h"

namespace fw {

namespace {
uint64_t s_yieldCount = 0;
}

void BackgroundTaskYield()
{
    // The program has one thread, so there is nothing to yield to; the count
    // lets tests see that long loops yield once per pass.
    ++s_yieldCount;
}

uint64_t BackgroundTaskYieldCount()
{
    return s_yieldCount;
}

void ResetBackgroundTaskYieldCount()
{
    s_yieldCount = 0;
}

} // namespace fw
