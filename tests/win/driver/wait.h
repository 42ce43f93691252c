// Waiting for a state: the one way the Windows tests wait, with one timeout for all of them.
#pragma once

#include <windows.h>

#include <cstdlib>

namespace rivo::test {

// How long a wait lasts before it counts as failed: long enough for a loaded machine under Wine.
// A passing test never waits it out, so it costs nothing; RIVO_TIMEOUT_SCALE (a factor, such as
// 2 or 0.5) stretches or shrinks every wait of every test at once.
inline constexpr DWORD kWaitMs = 15000;

inline DWORD Scaled(DWORD timeoutMs) {
    static const double scale = [] {
        const char* text = std::getenv("RIVO_TIMEOUT_SCALE");
        const double value = text ? std::atof(text) : 0.0;
        return value > 0.0 ? value : 1.0;
    }();
    return static_cast<DWORD>(timeoutMs * scale);
}

// Polls `done` every `pollMs` while handling this thread's messages (its windows stay alive, and
// work posted to it gets done), for at most `timeoutMs` scaled; whether it held. The caller asserts
// on the state itself, never on how long it took.
template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs = kWaitMs, DWORD pollMs = 5) {
    const DWORD limit = Scaled(timeoutMs);
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= limit)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
}

}  // namespace rivo::test
