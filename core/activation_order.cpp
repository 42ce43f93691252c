#include "core/activation_order.h"

namespace rivo {

ActivationStep NextActivationStep(ActivationStep done, const ActivationOutcome& outcome) {
    if (outcome.foreground)
        return ActivationStep::Done;
    switch (done) {
        case ActivationStep::Ask:
            return outcome.canAttach ? ActivationStep::AttachAndAsk : ActivationStep::SendUnlockKey;
        case ActivationStep::AttachAndAsk:
            return ActivationStep::SendUnlockKey;
        case ActivationStep::SendUnlockKey:
            return outcome.keySent ? ActivationStep::Retry : ActivationStep::GiveUp;
        case ActivationStep::Retry:
        case ActivationStep::GiveUp:
            return ActivationStep::GiveUp;
        case ActivationStep::Done:
            return ActivationStep::Done;
    }
    return ActivationStep::GiveUp;
}

}  // namespace rivo
