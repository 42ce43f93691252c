// Call-up latency: from the chord typed (Shift and Ctrl down and up, injected) to the launcher being
// the foreground window with its called-up picture on the screen (window mode 1: painted red).
// Baselines, measured in the same run and in the same rounds: the same number of injected keys
// reaching a window of the benchmark (input delivery), and a minimal program's window made the
// foreground window from here and painted red (activation and paint). The launcher's own time is
// what the call-up takes beyond the two. Prints figures; never fails on a number.
#include <cstdio>
#include <vector>

#include "bench/launcher_bench_support.h"
#include "tests/win/driver/keys.h"
#include "tests/win/driver/probe_report.h"
#include "tests/win/driver/user_window.h"
#include "tests/win/driver/window_finder.h"

namespace {

using namespace rivo::bench;

constexpr int kRounds = 20;
constexpr COLORREF kCalledUp = RGB(255, 0, 0);
constexpr COLORREF kDismissed = RGB(0, 0, 0);

bool Shows(HWND window, COLORREF colour) {
    return ScreenPixelOfClient(window, 5, 5) == colour;
}

}  // namespace

int main() {
    if (AnotherLauncherRunning()) {
        std::printf("callup_bench: skipped: another launcher runs in this session\n");
        return 0;
    }
    UserWindow user;
    LauncherInstall install("FormType=1\r\n");
    LauncherProcess launcher(install.Exe());
    const HWND main = install.Ok() ? launcher.WaitForWindow("TMainForm") : nullptr;
    LauncherProcess minimal(BenchFile("minimal_app.exe"));
    const HWND minimalWindow = minimal.WaitForWindow("RivoMinimalApp");
    if (!main || !minimalWindow || !user.Handle()) {
        std::printf("callup_bench: n/a: launcher %s, minimal program %s\n", main ? "ready" : "did not start",
                    minimalWindow ? "ready" : "did not start");
        return 0;
    }

    std::vector<double> callUp, input, activation;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        if (!user.TakeForeground() ||
            !PollUntil([&] { return Shows(main, kDismissed) && Shows(minimalWindow, kDismissed); })) {
            ++failures;
            continue;
        }
        // Four keys that are no chord, as many events as the chord has.
        const long keyUps = UserWindow::KeyUps();
        double start = MonotonicMs();
        rivo::test::InjectKeys({{VK_F13, true}, {VK_F14, true}, {VK_F14, false}, {VK_F13, false}});
        if (PollUntil([&] { return UserWindow::KeyUps() >= keyUps + 2; }))
            input.push_back(MonotonicMs() - start);

        start = MonotonicMs();
        SetForegroundWindow(minimalWindow);
        if (PollUntil(
                [&] { return GetForegroundWindow() == minimalWindow && Shows(minimalWindow, kCalledUp); })) {
            activation.push_back(MonotonicMs() - start);
        }
        if (!user.TakeForeground() ||
            !PollUntil([&] { return Shows(main, kDismissed) && Shows(minimalWindow, kDismissed); })) {
            ++failures;
            continue;
        }

        start = MonotonicMs();
        rivo::test::InjectCallUpChord();
        if (PollUntil([&] { return GetForegroundWindow() == main && Shows(main, kCalledUp); })) {
            callUp.push_back(MonotonicMs() - start);
        } else {
            ++failures;
        }
    }
    user.TakeForeground();
    launcher.CloseAndWait();
    minimal.CloseAndWait();

    const Summary rivo = Summarise(callUp);
    const Summary keys = Summarise(input);
    const Summary activate = Summarise(activation);
    const double baseline = keys.median + activate.median;
    const double own = rivo.median - baseline;
    std::printf(
        "callup_bench: call-up %s ms median (p90 %s, min %s, n=%zu, %d failed) | baseline %s ms = input %s + "
        "activation and paint of a minimal window %s | launcher's own %s ms, %.2fx baseline | target: own < "
        "5 ms"
        " (%s)\n",
        Ms(rivo.median).c_str(), Ms(rivo.p90).c_str(), Ms(rivo.min).c_str(), rivo.count, failures,
        Ms(baseline).c_str(), Ms(keys.median).c_str(), Ms(activate.median).c_str(), Ms(own).c_str(),
        baseline > 0 ? rivo.median / baseline : 0.0,
        rivo.count == 0 ? "n/a"
        : own < 5       ? "met"
                        : "missed");
    return 0;
}
