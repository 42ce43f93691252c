// Footprint: private bytes and working set of the idle launcher (started, ready, then left alone
// for a second), and the size of rivo.exe and rivo.dll on disk. Baseline, in the same run: a
// minimal program with one window and a message loop, measured the same way. Prints figures;
// never fails on a number.
#include <windows.h>

#include <cstdio>

#include "bench/launcher_bench_support.h"

namespace {

using namespace rivo::bench;

using Memory = ProcessFootprint;

Memory IdleMemory(const std::string& exe, const char* className) {
    LauncherProcess program(exe);
    if (!program.WaitForWindow(className))
        return {};
    PollUntil([] { return false; }, 1000);
    const Memory memory = FootprintOf(program.Handle());
    program.CloseAndWait();
    return memory;
}

std::optional<double> FileKb(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return static_cast<double>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                               data.nFileSizeLow) /
           1024;
}

std::string Kb(std::optional<double> value) {
    if (!value)
        return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", *value);
    return text;
}

}  // namespace

int main() {
    LauncherInstall install("");
    const std::optional<double> exeKb = FileKb(install.Exe());
    const std::optional<double> dllKb = FileKb(install.File("rivo.dll"));
    const std::optional<double> minimalKb = FileKb(BenchFile("minimal_app.exe"));
    std::optional<double> both;
    if (exeKb && dllKb)
        both = *exeKb + *dllKb;
    std::printf(
        "footprint_bench: files rivo.exe %s KB + rivo.dll %s KB = %s KB | baseline minimal program %s KB | "
        "%.1fx baseline | target: under 600 KB (%s)\n",
        Kb(exeKb).c_str(), Kb(dllKb).c_str(), Kb(both).c_str(), Kb(minimalKb).c_str(),
        both && minimalKb && *minimalKb > 0 ? *both / *minimalKb : 0.0,
        !both         ? "n/a"
        : *both < 600 ? "met"
                      : "missed");

    if (AnotherLauncherRunning()) {
        std::printf("footprint_bench: memory skipped: another launcher runs in this session\n");
        return 0;
    }
    Memory rivo;
    if (install.Ok())
        rivo = IdleMemory(install.Exe(), "TMainForm");
    // The baseline is a program with the launcher's system libraries and one dialog: under Wine
    // those cost private memory that Windows shares; the minimal program alone is shown beside it.
    const Memory baseline = IdleMemory(BenchFile("baseline_app.exe"), "RivoMinimalApp");
    const Memory minimal = IdleMemory(BenchFile("minimal_app.exe"), "RivoMinimalApp");
    const auto kb = [](const Memory& m, double value) { return m.measured ? Kb(value) : std::string("n/a"); };
    std::printf(
        "footprint_bench: idle private bytes %s KB%s, working set %s KB | baseline (the launcher's system "
        "libraries, one dialog) private %s KB, working set %s KB | the launcher's own %+.0f KB private | "
        "minimal program alone %s KB private, the launcher %+.0f KB over it | target: under 4096 KB private "
        "(%s)\n",
        kb(rivo, rivo.privateKb).c_str(), rivo.counted ? " (committed private regions)" : "",
        kb(rivo, rivo.workingSetKb).c_str(), kb(baseline, baseline.privateKb).c_str(),
        kb(baseline, baseline.workingSetKb).c_str(),
        rivo.measured && baseline.measured ? rivo.privateKb - baseline.privateKb : 0.0,
        kb(minimal, minimal.privateKb).c_str(),
        rivo.measured && minimal.measured ? rivo.privateKb - minimal.privateKb : 0.0,
        !rivo.measured          ? "n/a"
        : rivo.privateKb < 4096 ? "met"
                                : "missed");
    return 0;
}
