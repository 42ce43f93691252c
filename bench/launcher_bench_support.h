// What the launcher benchmarks share: the launcher installed in a scratch directory, the
// programs they start and time, their own window, polling with a fine grain, and the summary of
// a series of samples. The benchmarks print figures only; nothing here fails on a number.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "bench/stopwatch.h"
#include "tests/win/driver/scratch_dir.h"
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

// A program started the way a user's shell starts it: CreateProcess, its own directory current.
// Ended (terminated if need be) with the object.
class StartedProgram {
public:
    explicit StartedProgram(const std::string& exe);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool Started() const { return process_ != nullptr; }
    HANDLE Process() const { return process_; }
    DWORD Id() const { return id_; }
    // Its top-level window of this class, once the program has gone idle; null after the timeout.
    HWND WaitUntilReady(const char* className, DWORD timeoutMs = 20000);
    // Posts WM_CLOSE to `window` and waits for the end; terminates the process if it does not.
    void CloseWindowAndWait(HWND window, DWORD timeoutMs = 20000);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The top-level window of the process with this class; null when there is none.
HWND WindowOfProcess(DWORD processId, const char* className);

// A plain visible window of the benchmark's own, standing for the program the user works in.
class UserWindow {
public:
    UserWindow();
    ~UserWindow();
    UserWindow(const UserWindow&) = delete;
    UserWindow& operator=(const UserWindow&) = delete;
    HWND Handle() const { return handle_; }
    // Makes it the foreground window; false if the system refused within a few seconds.
    bool TakeForeground() const;
    // Key-ups this window has received (the injected-input baseline counts them).
    static long KeyUps();

private:
    HWND handle_ = nullptr;
};

// Polls `done` about every millisecond (what a benchmark times is the state's arrival),
// handling this thread's messages, for at most `timeoutMs`.
template <typename Done>
bool PollUntil(Done done, DWORD timeoutMs = 20000) {
    return test::WaitUntil(done, timeoutMs, 1);
}

// The colour on the screen at a client point of a window.
COLORREF ScreenPixelOfClient(HWND window, int x, int y);

// True while a launcher runs in this Wine prefix or Windows session (its named mutex exists):
// a second one would end at once, so the benchmark cannot start its own.
bool AnotherLauncherRunning();

// "12.34" or "n/a".
std::string Ms(std::optional<double> value);

}  // namespace rivo::bench
