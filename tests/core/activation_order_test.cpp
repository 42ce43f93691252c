#include "core/activation_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace rivo {
namespace {

using Step = ActivationStep;

struct Refusals {
    const char* name;
    std::vector<ActivationOutcome> outcomes;  // what the edge sees after each step, in order
    std::vector<Step> steps;                  // the steps taken, then the end
};

class ActivationOrder : public ::testing::TestWithParam<Refusals> {};

// Runs the order against a sequence of outcomes, as the edge would.
TEST_P(ActivationOrder, TakesTheStepsInOrderUntilGrantedOrOutOfWays) {
    const Refusals& r = GetParam();
    std::vector<Step> taken{Step::Ask};
    for (const ActivationOutcome& outcome : r.outcomes) {
        const Step next = NextActivationStep(taken.back(), outcome);
        taken.push_back(next);
        if (next == Step::Done || next == Step::GiveUp)
            break;
    }
    EXPECT_EQ(taken, r.steps);
}

constexpr ActivationOutcome kGranted{true, false, false};
constexpr ActivationOutcome kRefused{false, false, false};
constexpr ActivationOutcome kRefusedCanAttach{false, true, false};
constexpr ActivationOutcome kKeySent{false, false, true};

INSTANTIATE_TEST_SUITE_P(
    Sequences, ActivationOrder,
    ::testing::Values(
        Refusals{"GrantedAtOnce", {kGranted}, {Step::Ask, Step::Done}},
        Refusals{
            "GrantedAttached", {kRefusedCanAttach, kGranted}, {Step::Ask, Step::AttachAndAsk, Step::Done}},
        Refusals{"GrantedAfterTheKey",
                 {kRefusedCanAttach, kRefused, kKeySent, kGranted},
                 {Step::Ask, Step::AttachAndAsk, Step::SendUnlockKey, Step::Retry, Step::Done}},
        // A hung foreground thread (or none, or our own) is never attached to.
        Refusals{"NothingToAttachToGoesToTheKey",
                 {kRefused, kKeySent, kGranted},
                 {Step::Ask, Step::SendUnlockKey, Step::Retry, Step::Done}},
        Refusals{"RefusedEveryWay",
                 {kRefusedCanAttach, kRefused, kKeySent, kRefused},
                 {Step::Ask, Step::AttachAndAsk, Step::SendUnlockKey, Step::Retry, Step::GiveUp}},
        Refusals{"KeyNotSent", {kRefused, kRefused}, {Step::Ask, Step::SendUnlockKey, Step::GiveUp}},
        // Whoever grants it, at any step, ends the search: no key is injected needlessly.
        Refusals{"GrantedWhileTheKeyWasSent",
                 {kRefused, ActivationOutcome{true, false, true}},
                 {Step::Ask, Step::SendUnlockKey, Step::Done}}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

}  // namespace
}  // namespace rivo
