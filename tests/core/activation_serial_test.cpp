#include "core/activation_serial.h"

#include <gtest/gtest.h>

namespace rivo {
namespace {

// The launcher window's handling of one activation message: the message handler notes the ticket
// the activation will take, WMActivate takes it, and both ask at their end whether another
// activation was handled meanwhile. `nestedInside` activations arrive inside this one.
struct Handled {
    bool handlerSawSuperseded;
    bool activateSawSuperseded;
};

Handled Handle(ActivationSerial& serial, int nestedInside) {
    const ActivationSerial::Ticket noted = serial.Next();
    const ActivationSerial::Ticket taken = serial.Take();
    EXPECT_EQ(noted, taken);
    if (nestedInside > 0) {
        const Handled inner = Handle(serial, nestedInside - 1);
        EXPECT_EQ(inner.activateSawSuperseded, nestedInside > 1);
    }
    return {serial.Superseded(noted), serial.Superseded(taken)};
}

TEST(ActivationSerial, OnlyAnActivationWithAnotherInsideItIsSuperseded) {
    struct Case {
        const char* name;
        int nestedInside;
        bool superseded;
    };
    const Case cases[] = {
        {"alone", 0, false},
        {"a deactivation inside it", 1, true},
        {"two levels inside it", 2, true},
    };
    ActivationSerial serial;  // one launcher: the cases follow one another
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            const Handled handled = Handle(serial, c.nestedInside);
            EXPECT_EQ(handled.handlerSawSuperseded, c.superseded) << c.name;
            EXPECT_EQ(handled.activateSawSuperseded, c.superseded) << c.name;
        }
    }
}

}  // namespace
}  // namespace rivo
