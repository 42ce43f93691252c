// Kept apart from the benchmarks: <chrono> holds a "\u00b5s" literal that cannot be encoded in
// code page 932, the execution character set the benchmarks' Japanese paths are compiled with.
#include "bench/stopwatch.h"

#include <chrono>

namespace rivo::bench {

double MonotonicMs() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

}  // namespace rivo::bench
