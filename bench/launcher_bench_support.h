// What the launcher benchmarks share beyond the test driver: the launcher installed with the
// probe program, polling with a fine grain, and the summary of a series of samples. The benchmarks print
// figures only; nothing here fails on a number.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "bench/stopwatch.h"
#include "tests/win/driver/launcher_process.h"
#include "tests/win/driver/running_launcher.h"
#include "tests/win/driver/scratch_dir.h"
#include "tests/win/driver/user_window.h"
#include "tests/win/driver/wait.h"

namespace rivo::bench {

struct Summary {
    std::size_t count = 0;
    double median = 0;
    double p90 = 0;
    double min = 0;
};
Summary Summarise(std::vector<double> samples);

// A file of the benchmarks' build directory (minimal_app.exe, launch_probe.exe) as Windows sees it.
std::string BenchFile(const std::string& name);

// rivo.exe, rivo.dll, help.html and the probe program copied into a scratch directory of their
// own, with a Rivo.ini of `entries` (lines after the section line; "{probe}" and "{dir}" stand
// for the probe's path and the directory).
class LauncherInstall {
public:
    explicit LauncherInstall(const std::string& entries);
    bool Ok() const { return ok_; }
    const std::string& Dir() const { return dir_.Path(); }
    std::string File(const std::string& name) const { return dir_.File(name); }
    std::string Exe() const { return dir_.File("rivo.exe"); }
    std::string Probe() const { return dir_.File("launch_probe.exe"); }

private:
    test::ScratchDir dir_{"bench"};
    bool ok_ = false;
};

// Programs are started, found and ended, and the user's window shown, as the tests do it.
using test::LauncherProcess;
using test::ScreenPixelOfClient;
using test::UserWindow;
using test::WindowsOfProcess;

// Polls `done` about every millisecond (what a benchmark times is the state's arrival),
// handling this thread's messages, for at most `timeoutMs`.
template <typename Done>
bool PollUntil(Done done, DWORD timeoutMs = 20000) {
    return test::WaitUntil(done, timeoutMs, 1);
}

// True while a launcher runs in this Wine prefix or Windows session (its named mutex exists):
// a second one would end at once, so the benchmark cannot start its own.
bool AnotherLauncherRunning();

// What a process holds, as Task Manager shows it: its private bytes (committed private memory;
// counted region by region where the system reports none for another process, as Wine does), and
// its GDI and USER objects (nullopt where the system reports none, as under Wine).
struct ProcessFootprint {
    bool measured = false;  // the system gave the process's memory counters
    double privateKb = 0;
    bool counted = false;
    double workingSetKb = 0;
    std::optional<unsigned> gdiObjects;
    std::optional<unsigned> userObjects;
};
ProcessFootprint FootprintOf(HANDLE process);

// "12.34" or "n/a".
std::string Ms(std::optional<double> value);

}  // namespace rivo::bench
