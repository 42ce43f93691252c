// Start-up time: from CreateProcess to the launcher being ready (its main window exists and the
// process has gone idle in its message loop, which it enters only after the tray icon is added,
// Rivo.ini read and the hook set). Baseline, in the same rounds: a program with one window, a
// message loop, the launcher's system libraries and one dialog, started and waited for the same
// way; the minimal program without the libraries is timed beside it. Prints figures; never fails on
// a number.
#include <cstdio>
#include <vector>

#include "bench/launcher_bench_support.h"

namespace {

using namespace rivo::bench;

constexpr int kRounds = 8;

struct StartTimes {
    double window = 0;  // the main window exists
    double ready = 0;   // ... and the program waits idle in its message loop
};

std::optional<StartTimes> TimeStart(const std::string& exe, const char* className) {
    const double start = MonotonicMs();
    LauncherProcess program(exe);
    HWND window = nullptr;
    if (!program.Started() || !PollUntil(
                                  [&] {
                                      const std::vector<HWND> windows =
                                          WindowsOfProcess(program.Id(), className);
                                      window = windows.empty() ? nullptr : windows.front();
                                      return window != nullptr;
                                  },
                                  20000)) {
        return std::nullopt;
    }
    StartTimes times;
    times.window = MonotonicMs() - start;
    if (WaitForInputIdle(program.Handle(), 20000) != 0)
        return std::nullopt;
    times.ready = MonotonicMs() - start;
    program.WaitForWindow(className);  // the window to close
    program.CloseAndWait();
    return times;
}

}  // namespace

int main() {
    if (AnotherLauncherRunning()) {
        std::printf("startup_bench: skipped: another launcher runs in this session\n");
        return 0;
    }
    // A settings file in daily use: a few dozen registrations.
    std::string entries;
    for (int key = 'A'; key <= 'Z'; ++key) {
        entries += std::to_string(key) + "=C:\\Program Files\\Tool " + std::to_string(key) + "\\tool.exe\r\n";
        entries += std::to_string(key + 300) + "=C:\\Program Files\\Tool " + std::to_string(key) + "\r\n";
    }
    LauncherInstall install(entries);
    if (!install.Ok()) {
        std::printf("startup_bench: n/a: the launcher could not be installed\n");
        return 0;
    }
    // The baseline carries the launcher's system libraries and one dialog (bench/minimal_app.cpp);
    // the minimal program alone is timed beside it.
    std::vector<double> launcherWindow, launcherReady, minimalWindow, minimalReady, aloneReady;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        if (auto times = TimeStart(install.Exe(), "TMainForm")) {
            launcherWindow.push_back(times->window);
            launcherReady.push_back(times->ready);
        } else {
            ++failures;
        }
        if (auto times = TimeStart(BenchFile("baseline_app.exe"), "RivoMinimalApp")) {
            minimalWindow.push_back(times->window);
            minimalReady.push_back(times->ready);
        }
        if (auto times = TimeStart(BenchFile("minimal_app.exe"), "RivoMinimalApp"))
            aloneReady.push_back(times->ready);
    }
    const Summary rivo = Summarise(launcherReady);
    const Summary baseline = Summarise(minimalReady);
    const Summary rivoWindow = Summarise(launcherWindow);
    const Summary baselineWindow = Summarise(minimalWindow);
    const Summary alone = Summarise(aloneReady);
    const double extra = rivo.median - baseline.median;
    std::printf(
        "startup_bench: start to ready %s ms median (p90 %s, min %s, n=%zu, %d failed) | baseline (the "
        "launcher's system libraries, one dialog) %s ms (p90 %s) | launcher's extra %s ms, %.2fx baseline | "
        "minimal program alone %s ms, the launcher %s ms over it | target: within 30 ms of the baseline "
        "(%s)\n",
        Ms(rivo.median).c_str(), Ms(rivo.p90).c_str(), Ms(rivo.min).c_str(), rivo.count, failures,
        Ms(baseline.median).c_str(), Ms(baseline.p90).c_str(), Ms(extra).c_str(),
        baseline.median > 0 ? rivo.median / baseline.median : 0.0, Ms(alone.median).c_str(),
        Ms(rivo.median - alone.median).c_str(),
        rivo.count == 0 || baseline.count == 0 ? "n/a"
        : extra <= 30                          ? "met"
                                               : "missed");
    std::printf(
        "startup_bench: start to main window created %s ms median (p90 %s) | baseline %s ms "
        "(p90 %s) | launcher's extra %s ms | from window to ready: launcher %s ms, baseline %s ms\n",
        Ms(rivoWindow.median).c_str(), Ms(rivoWindow.p90).c_str(), Ms(baselineWindow.median).c_str(),
        Ms(baselineWindow.p90).c_str(), Ms(rivoWindow.median - baselineWindow.median).c_str(),
        Ms(rivo.median - rivoWindow.median).c_str(), Ms(baseline.median - baselineWindow.median).c_str());
    if (rivo::test::UnderWine() && rivo.count > 0 && rivo.median - rivoWindow.median > 1500) {
        std::printf(
            "startup_bench: note: under Wine without a window manager, hiding a window that was shown waits "
            "about 2 s for the window manager; the launcher shows and hides its window once at start\n");
    }
    return 0;
}
