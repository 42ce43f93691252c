// A resident life in brief: 1,000 call-ups (RIVO_SOAK_CALLUPS gives another number), every tenth
// followed by the options dialog opened and closed (100 dialogs), typed as a user types them. Prints the
// launcher's private bytes after a warm-up and at the end, and its GDI and USER objects where the system
// reports them (Windows; Wine reports none). The baseline is the same launcher after the warm-up, in the same
// run: what grows beyond it is what a long life would pile up. Prints figures; never fails on a number.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/launcher_bench_support.h"
#include "tests/win/driver/keys.h"
#include "tests/win/driver/window_finder.h"

namespace {

using namespace rivo::bench;

constexpr int kDialogEvery = 10;
constexpr int kWarmUp = 50;  // call-ups (and 5 dialogs) before the first figure

// A short soak for a CI run that only wants to see the figures move; never under twice the warm-up,
// or the baseline would be most of the run.
int CallUps() {
    const char* text = std::getenv("RIVO_SOAK_CALLUPS");
    const int wanted = text ? std::atoi(text) : 1000;
    return std::max(wanted, 2 * kWarmUp);
}

// Called up: the foreground window with the keyboard focus of its thread. The foreground moves to
// the window a moment before its thread has taken the activation, and a key typed in between
// reaches no window (under Wine it is dropped): a user cannot type that fast, a benchmark can.
bool CalledUp(HWND main) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    return GetForegroundWindow() == main &&
           GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread) && thread.hwndFocus == main;
}

std::string Count(const std::optional<unsigned>& value) {
    return value ? std::to_string(*value) : std::string("n/a");
}

void Print(const char* when, const ProcessFootprint& f) {
    std::printf("soak_bench: %s: private %.0f KB%s, GDI objects %s, USER objects %s\n", when, f.privateKb,
                f.counted ? " (counted)" : "", Count(f.gdiObjects).c_str(), Count(f.userObjects).c_str());
}

}  // namespace

int main() {
    // Figures reach a log at once, also when a run is cut short.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (AnotherLauncherRunning()) {
        std::printf("soak_bench: skipped: another launcher runs in this session\n");
        return 0;
    }
    UserWindow user;
    LauncherInstall install("FormType=1\r\n");
    LauncherProcess launcher(install.Exe());
    const HWND main = install.Ok() ? launcher.WaitForWindow("TMainForm") : nullptr;
    if (!main) {
        std::printf("soak_bench: the launcher did not start\n");
        return 0;
    }
    const int callUps = CallUps();
    ProcessFootprint warm;
    int calledUp = 0;
    int dialogs = 0;
    for (int i = 1; i <= callUps; ++i) {
        user.TakeForeground();
        if (!rivo::test::InjectCallUpChord() || !PollUntil([&] { return CalledUp(main); }, 5000))
            continue;
        ++calledUp;
        if (i % kDialogEvery == 0 && rivo::test::InjectTap(VK_INSERT)) {
            HWND options = nullptr;
            if (PollUntil(
                    [&] {
                        return (options = rivo::test::VisibleWindowWithCaption(launcher.Id(), "設定")) !=
                                   nullptr &&
                               GetForegroundWindow() == options;
                    },
                    5000) &&
                rivo::test::InjectTap(VK_ESCAPE) &&
                PollUntil([&] { return !IsWindowVisible(options); }, 5000))
                ++dialogs;
        }
        if (i % 100 == 0)
            std::printf("soak_bench: %d call-ups (%d called up, %d dialogs)\n", i, calledUp, dialogs);
        if (i == kWarmUp) {
            launcher.Settle();
            warm = FootprintOf(launcher.Handle());
            Print("after the warm-up", warm);
        }
    }
    launcher.Settle();
    const ProcessFootprint end = FootprintOf(launcher.Handle());
    Print("at the end", end);
    std::printf(
        "soak_bench: %d of %d call-ups, %d of %d dialogs; private bytes grew %.0f KB (x%.3f of the "
        "warm-up)\n",
        calledUp, callUps, dialogs, callUps / kDialogEvery, end.privateKb - warm.privateKb,
        warm.privateKb > 0 ? end.privateKb / warm.privateKb : 0.0);
    launcher.CloseAndWait();
    return 0;
}
