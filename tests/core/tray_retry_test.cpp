#include "core/tray_retry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rivo {
namespace {

// One event the launcher feeds in, and what it must do then.
struct Step {
    enum Kind { Attempt, Tick } kind;
    bool added;
    // Attempt: the timer action, as a letter (K keep, S start, P stop). Tick: R retry, P stop.
    char expected;
};

char Apply(TrayRetry& retry, const Step& step) {
    if (step.kind == Step::Attempt) {
        switch (retry.AfterAttempt(step.added)) {
            case TrayRetry::Timer::Keep:
                return 'K';
            case TrayRetry::Timer::Start:
                return 'S';
            case TrayRetry::Timer::Stop:
                return 'P';
        }
    }
    return retry.OnTick(step.added) ? 'R' : 'P';
}

// Failed attempts until the budget is spent: the first starts the timer, each tick but the last
// retries (and that attempt fails again, keeping the timer).
std::vector<Step> FailingThroughout() {
    std::vector<Step> steps{{Step::Attempt, false, 'S'}};
    for (int i = 1; i < TrayRetry::kRetries; ++i) {
        steps.push_back({Step::Tick, false, 'R'});
        steps.push_back({Step::Attempt, false, 'K'});
    }
    steps.push_back({Step::Tick, false, 'P'});
    return steps;
}

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

TEST(TrayRetry, TimerFollowsTheAttempts) {
    std::vector<Step> spentThenExplorerRestarts = FailingThroughout();
    spentThenExplorerRestarts.push_back({Step::Attempt, false, 'S'});

    const Sequence sequences[] = {
        {"added at once", {{Step::Attempt, true, 'P'}}},
        {"added at the second try",
         {{Step::Attempt, false, 'S'}, {Step::Tick, false, 'R'}, {Step::Attempt, true, 'P'}}},
        {"added meanwhile by TaskbarCreated", {{Step::Attempt, false, 'S'}, {Step::Tick, true, 'P'}}},
        {"budget spent", FailingThroughout()},
        {"a failure after the budget was spent starts afresh", spentThenExplorerRestarts},
        // Added on a retry, then Explorer restarts and the new taskbar is not ready: the retries
        // must start again, or the icon is gone for good.
        {"a failure after a retry succeeded starts afresh",
         {{Step::Attempt, false, 'S'},
          {Step::Tick, false, 'R'},
          {Step::Attempt, true, 'P'},
          {Step::Attempt, false, 'S'},
          {Step::Tick, false, 'R'},
          {Step::Attempt, true, 'P'}}},
    };
    for (const Sequence& sequence : sequences) {
        TrayRetry retry;
        std::string got, want;
        for (const Step& step : sequence.steps) {
            got += Apply(retry, step);
            want += step.expected;
        }
        EXPECT_EQ(got, want) << sequence.name;
    }
}

}  // namespace
}  // namespace rivo
