// Retrying a file operation that another program blocks for a moment.
#pragma once

#include <array>

namespace rivo {

// Waits in milliseconds before each new attempt, backing off: about 2 s in all. Virus scanners,
// indexers and sync clients open a file for far less; a program that holds it longer is reported.
inline constexpr std::array<unsigned, 7> kTransientRetryDelays{20, 40, 80, 160, 320, 640, 740};

// Calls `attempt` until its result is not `transient`, or the delays are spent; `wait(ms)` sleeps
// between attempts. Returns the last result.
template <typename Attempt, typename IsTransient, typename Wait>
auto RetryTransient(Attempt&& attempt, IsTransient&& transient, Wait&& wait) {
    auto result = attempt();
    for (const unsigned delay : kTransientRetryDelays) {
        if (!transient(result)) {
            break;
        }
        wait(delay);
        result = attempt();
    }
    return result;
}

}  // namespace rivo
