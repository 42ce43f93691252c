#include "bench/launcher_bench_support.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rivo::bench {

Summary Summarise(std::vector<double> samples) {
    Summary summary;
    summary.count = samples.size();
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    summary.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    summary.p90 =
        samples[std::min(n - 1, static_cast<std::size_t>(std::ceil(0.9 * static_cast<double>(n))) - 1)];
    summary.min = samples.front();
    return summary;
}

std::string BenchFile(const std::string& name) {
    return test::BuildTreeFile("bench/" + name);
}

LauncherInstall::LauncherInstall(const std::string& entries) {
    const std::string ini =
        test::Replaced(test::Replaced(test::IniWith(entries), "{probe}", Probe()), "{dir}", Dir());
    ok_ = CopyFileA(BenchFile("launch_probe.exe").c_str(), Probe().c_str(), FALSE) &&
          test::InstallLauncher(Dir(), ini);
}

bool AnotherLauncherRunning() {
    const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "rivo");
    if (mutex == nullptr)
        return false;
    CloseHandle(mutex);
    return true;
}

std::string Ms(std::optional<double> value) {
    if (!value)
        return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *value);
    return text;
}

namespace {

double CommittedPrivateKb(HANDLE process) {
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr;
         VirtualQueryEx(process, address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if (region.RegionSize == 0)
            break;
    }
    return static_cast<double>(total) / 1024;
}

std::optional<unsigned> GuiObjects(HANDLE process, DWORD kind) {
    const DWORD count = GetGuiResources(process, kind);
    if (count == 0)
        return std::nullopt;
    return static_cast<unsigned>(count);
}

}  // namespace

ProcessFootprint FootprintOf(HANDLE process) {
    ProcessFootprint footprint;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    footprint.measured = GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                              sizeof counters) != FALSE;
    footprint.privateKb = static_cast<double>(counters.PrivateUsage) / 1024;
    footprint.workingSetKb = static_cast<double>(counters.WorkingSetSize) / 1024;
    if (footprint.privateKb == 0) {
        footprint.privateKb = CommittedPrivateKb(process);
        footprint.counted = true;
    }
    footprint.gdiObjects = GuiObjects(process, GR_GDIOBJECTS);
    footprint.userObjects = GuiObjects(process, GR_USEROBJECTS);
    return footprint;
}

}  // namespace rivo::bench
