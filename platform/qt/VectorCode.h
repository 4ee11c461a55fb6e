#pragma once

// The vector instructions picture code may use beyond the SSE2 every x86-64
// processor has. Code for wider instructions is compiled for them function
// by function and chosen at run time, so the program still runs anywhere.

#if defined(__SSE2__) && defined(__GNUC__) && defined(__x86_64__)
#define TAVRINE_WIDE_VECTORS 1
#include <immintrin.h>
#endif

namespace fw {

#if defined(TAVRINE_WIDE_VECTORS)
inline bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#else
inline bool HasAvx2()
{
    return false;
}
#endif

} // namespace fw
