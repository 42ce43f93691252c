#include "core/tray_retry.h"

namespace rivo {

TrayRetry::Timer TrayRetry::AfterAttempt(bool added) noexcept {
    if (added) {
        // The budget is spent with this success: a later failure must start the timer again,
        // where a leftover count would take it for running.
        retriesLeft_ = 0;
        return Timer::Stop;
    }
    if (retriesLeft_ == 0) {
        retriesLeft_ = kRetries;
        return Timer::Start;
    }
    return Timer::Keep;
}

bool TrayRetry::OnTick(bool added) noexcept {
    if (added || --retriesLeft_ <= 0) {
        retriesLeft_ = 0;
        return false;
    }
    return true;
}

}  // namespace rivo
