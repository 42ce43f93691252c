#include "core/transient_retry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace rivo {
namespace {

enum class Outcome { Done, Busy, Broken };

struct Attempts {
    int attempts = 0;
    std::vector<unsigned> waits;
    Outcome result = Outcome::Done;
};

// `outcomes` are the results of the attempts in turn; the last one repeats.
Attempts RunAgainst(std::vector<Outcome> outcomes) {
    Attempts run;
    run.result =
        RetryTransient([&] { return outcomes[std::min<std::size_t>(run.attempts++, outcomes.size() - 1)]; },
                       [](Outcome outcome) { return outcome == Outcome::Busy; },
                       [&](unsigned milliseconds) { run.waits.push_back(milliseconds); });
    return run;
}

TEST(TransientRetry, AFileHeldForGoodIsReportedAfterAboutTwoSecondsOfBackingOff) {
    const Attempts run = RunAgainst({Outcome::Busy});
    EXPECT_EQ(run.result, Outcome::Busy);
    unsigned total = 0;
    for (std::size_t i = 0; i < run.waits.size(); ++i) {
        total += run.waits[i];
        if (i > 0) {
            EXPECT_GT(run.waits[i], run.waits[i - 1]) << "wait " << i << " does not back off";
        }
    }
    EXPECT_GE(total, 1500u);
    EXPECT_LE(total, 2500u);
    EXPECT_LE(run.waits.front(), 50u) << "a scanner's moment must not cost a long first wait";
    EXPECT_EQ(run.attempts, static_cast<int>(run.waits.size()) + 1);
}

TEST(TransientRetry, StopsAtTheFirstSuccessOrLastingFailure) {
    const Attempts released = RunAgainst({Outcome::Busy, Outcome::Busy, Outcome::Done});
    EXPECT_EQ(released.result, Outcome::Done);
    EXPECT_EQ(released.attempts, 3);
    EXPECT_EQ(released.waits.size(), 2u);

    const Attempts broken = RunAgainst({Outcome::Busy, Outcome::Broken, Outcome::Done});
    EXPECT_EQ(broken.result, Outcome::Broken) << "only a transient failure is tried again";
    EXPECT_EQ(broken.attempts, 2);

    const Attempts first = RunAgainst({Outcome::Done});
    EXPECT_EQ(first.attempts, 1);
    EXPECT_TRUE(first.waits.empty());
}

}  // namespace
}  // namespace rivo
