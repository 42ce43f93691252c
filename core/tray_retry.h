// Adding the notification-area icon again while the taskbar cannot take it: at logon it may not
// exist yet, and a busy Explorer answers with a time-out. Retried on a timer, a bounded number of
// times; every later failure (Explorer restarted) gets a fresh budget.
#pragma once

namespace rivo {

class TrayRetry {
public:
    static constexpr unsigned kIntervalMilliseconds = 2000;
    static constexpr int kRetries = 15;

    enum class Timer { Keep, Start, Stop };

    // After an attempt to add the icon, `added` its outcome: what becomes of the retry timer.
    Timer AfterAttempt(bool added) noexcept;
    // On a tick of the retry timer, `added` whether the icon is in place by now: true when another
    // attempt is due, false when the timer is to stop.
    bool OnTick(bool added) noexcept;

private:
    int retriesLeft_ = 0;  // 0: no retry running
};

}  // namespace rivo
