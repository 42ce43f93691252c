// Launch latency: from a key posted to the called-up launcher to the process of its command
// existing. Baseline, in the same rounds: this program setting the same current directory and
// calling ShellExecuteA on the same program itself. A second thread watches the process list for
// both, so the moment the process appears is taken the same way whoever starts it. Prints
// figures; never fails on a number.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/launcher_bench_support.h"
#include "tests/win/driver/keys.h"
#include "tests/win/driver/probe_report.h"
#include "tests/win/driver/user_window.h"
#include "tests/win/driver/window_finder.h"

namespace {

using namespace rivo::bench;

constexpr int kRounds = 20;
constexpr char kProbe[] = "launch_probe.exe";

// Runs `start` and returns the milliseconds until a probe process is seen, or nullopt.
template <typename Start>
std::optional<double> TimeUntilProbeRuns(Start start) {
    std::atomic<bool> stop{false};
    std::atomic<double> seen{-1};
    std::thread watcher([&] {
        while (!stop.load()) {
            if (rivo::test::ProcessesNamed(kProbe) > 0) {
                seen.store(MonotonicMs());
                return;
            }
            Sleep(0);
        }
    });
    const double begin = MonotonicMs();
    start();
    PollUntil([&] { return seen.load() >= 0; }, 10000);
    stop.store(true);
    watcher.join();
    if (seen.load() < 0)
        return std::nullopt;
    return seen.load() - begin;
}

bool Settle(const LauncherInstall& install) {
    const bool ended = PollUntil([] { return rivo::test::ProcessesNamed(kProbe) == 0; }, 10000);
    for (const std::string& name : rivo::test::ListFiles(install.Dir(), "probe-*.txt")) {
        DeleteFileA(install.File(name).c_str());
    }
    return ended;
}

}  // namespace

int main() {
    if (AnotherLauncherRunning()) {
        std::printf("launch_bench: skipped: another launcher runs in this session\n");
        return 0;
    }
    LauncherInstall install("69={probe}\r\n369={dir}\r\n");
    LauncherProcess launcher(install.Exe());
    const HWND main = install.Ok() ? launcher.WaitForWindow("TMainForm") : nullptr;
    if (!main || !Settle(install)) {
        std::printf("launch_bench: n/a: the launcher did not start\n");
        return 0;
    }

    std::vector<double> launches, direct;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        if (auto ms = TimeUntilProbeRuns([&] { rivo::test::PostKey(main, 'E'); })) {
            launches.push_back(*ms);
        } else {
            ++failures;
        }
        if (!Settle(install))
            break;
        const std::string directory = install.Dir();
        const std::string probe = install.Probe();
        if (auto ms = TimeUntilProbeRuns([&] {
                SetCurrentDirectoryA((directory + "\\").c_str());
                ShellExecuteA(nullptr, nullptr, probe.c_str(), nullptr, directory.c_str(), SW_SHOWDEFAULT);
            })) {
            direct.push_back(*ms);
        }
        if (!Settle(install))
            break;
    }
    launcher.CloseAndWait();

    const Summary rivo = Summarise(launches);
    const Summary baseline = Summarise(direct);
    const double own = rivo.median - baseline.median;
    std::printf(
        "launch_bench: key to started process %s ms median (p90 %s, min %s, n=%zu, %d failed) | baseline "
        "ShellExecuteA from here %s ms (p90 %s) | launcher's own %s ms, %.2fx baseline | target: own < 5 ms"
        " (%s)\n",
        Ms(rivo.median).c_str(), Ms(rivo.p90).c_str(), Ms(rivo.min).c_str(), rivo.count, failures,
        Ms(baseline.median).c_str(), Ms(baseline.p90).c_str(), Ms(own).c_str(),
        baseline.median > 0 ? rivo.median / baseline.median : 0.0,
        rivo.count == 0 || baseline.count == 0 ? "n/a"
        : own < 5                              ? "met"
                                               : "missed");
    return 0;
}
