#include "bench/launcher_bench_support.h"

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

}  // namespace rivo::bench
