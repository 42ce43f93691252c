// A monotonic wall clock in milliseconds for the benchmarks.
#pragma once

namespace rivo::bench {

// Milliseconds since an arbitrary fixed point; only differences mean anything.
double MonotonicMs();

}  // namespace rivo::bench
