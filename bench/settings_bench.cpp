// Loading and saving a full Rivo.ini: our engine (one read, one atomic replace) and, under Windows,
// the 775 separate kernel32 profile calls the launcher would otherwise make. Prints one line per
// measurement with medians and the kernel32/ours ratios; never fails on a number.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/stopwatch.h"
#include "core/launcher_state.h"
#include "core/profile_document.h"
#include "core/profile_file.h"
#include "core/rivo_main_set.h"
#include "core/settings_file.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32_code_page.h"
#include "platform/win32_file_store.h"
#include "tests/win/driver/scratch_dir.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include "core/posix_code_page.h"
#include "core/posix_file_store.h"
#endif

namespace {

using namespace rivo;

#ifdef _WIN32
using PlatformCodePage = platform::Win32CodePage;
using PlatformFileStore = platform::Win32FileStore;
#else
using PlatformCodePage = PosixCp932CodePage;
using PlatformFileStore = PosixFileStore;
#endif

class BenchWindow final : public WindowPosition {
public:
    std::int32_t WindowTop() const override { return top_; }
    std::int32_t WindowLeft() const override { return left_; }
    void MoveWindowTop(std::int32_t top) override { top_ = top; }
    void MoveWindowLeft(std::int32_t left) override { left_ = left; }

private:
    std::int32_t top_ = 120;
    std::int32_t left_ = -5;
};

struct State {
    TRivoMainSet mainSet;
    KeyStringTable commands;
    KeyStringTable workDirs;
    BenchWindow window;

    SettingsTarget Target() { return {mainSet, commands, workDirs, window}; }
};

// A launcher in daily use: most letter and digit keys and a few function keys registered, with
// long Program Files paths, arguments and Japanese folders (trail bytes 0x5C and 0x5D included).
void FillRealistic(State& state) {
    const char* const programs[] = {
        R"(C:\Program Files\Kumo Editor\kumo.exe)",
        R"(C:\Program Files (x86)\Hoshi Browser\Application\hoshi.exe --profile-directory=Default)",
        R"(C:\Windows\System32\calc.exe)",
        R"(C:\Users\田中\Documents\予算表.xls)",
        R"(D:\ソフト\ゾーン\tool.exe)",
        R"(\\fileserver\share\能力表.doc)",
        R"(C:\Tools\十字キー設定\keys.exe /quiet)",
        R"(http://intranet.example.jp/wiki/)",
        R"(C:\Windows\System32\cmd.exe /k cd /d C:\work)",
        R"(C:\Users\田中\Desktop\メモ.txt)",
    };
    const char* const dirs[] = {
        R"(C:\Program Files\Kumo Editor)",
        "",
        R"(C:\Windows\System32)",
        R"(C:\Users\田中\Documents)",
        R"(D:\ソフト\ゾーン)",
        R"(\\fileserver\share)",
        R"(C:\Tools\十字キー設定)",
        "",
        R"(C:\work)",
        R"(C:\Users\田中\Desktop)",
    };
    int n = 0;
    for (int key = 0x30; key <= 0x5A; ++key) {
        if (key > 0x39 && key < 0x41)
            continue;
        state.commands[key] = programs[n % 10];
        state.workDirs[key] = dirs[n % 10];
        ++n;
    }
    for (int key = 0x70; key <= 0x7B; ++key) {
        state.commands[key] = std::string(programs[key % 10]) + " --slot " + std::to_string(key);
        state.workDirs[key] = dirs[key % 10];
    }
    state.mainSet.Filter[0x5B] = 1;
    state.mainSet.Filter[0x5C] = 1;
    state.mainSet.FormType = 1;
    state.mainSet.ForceKeyFilters();
}

// The 775 entry names and the defaults the launcher reads them with, in their order.
struct Entry {
    std::string key;
    std::string fallback;
};

std::vector<Entry> EntryNames() {
    std::vector<Entry> entries;
    for (int k = 0; k < kKeyCount; ++k) {
        entries.push_back({std::to_string(k), ""});
        entries.push_back({std::to_string(k + 300), ""});
        entries.push_back({std::to_string(k + 600), "0"});
    }
    for (const char* name : {"Top", "Left"})
        entries.push_back({name, "0"});
    entries.push_back({"Key1", "0x10"});
    entries.push_back({"Key2", "0x11"});
    entries.push_back({"SetKey", "0x2D"});
    entries.push_back({"EndKey", "0x2E"});
    entries.push_back({"FormType", "0"});
    return entries;
}

double MedianMs(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const double start = bench::MonotonicMs();
        body();
        times.push_back(bench::MonotonicMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A directory of its own under the system's temporary directory.
std::string MakeScratchDir() {
#ifdef _WIN32
    char temp[MAX_PATH + 1] = {};
    std::string dir(temp, GetTempPathA(MAX_PATH, temp));
    dir += "rivo-settings-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
#else
    const char* temp = std::getenv("TMPDIR");
    std::string dir = temp != nullptr && *temp != '\0' ? temp : "/tmp";
    dir += "/rivo-settings-bench-" + std::to_string(getpid());
    mkdir(dir.c_str(), 0700);
#endif
    return dir;
}

void RemoveScratchDir(const std::string& dir, const std::string& file) {
    std::remove(file.c_str());
    std::remove(TemporaryPathFor(file).c_str());
    std::remove((file + ".floor").c_str());
#ifdef _WIN32
    RemoveDirectoryA(dir.c_str());
#else
    rmdir(dir.c_str());
#endif
}

// The floor of a durable save: `bytes` written to a new file, flushed, and renamed over `path`,
// with the system's own calls and nothing else.
bool FloorSave(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".floor";
#ifdef _WIN32
    HANDLE file =
        CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    return ok && MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0)
        return false;
    // As our save does: the directory too, so the new name outlives a power cut.
    const std::string dir = path.substr(0, path.find_last_of('/'));
    const int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
#endif
}

#ifdef _WIN32
void FlushProfileCache(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}
#endif

// Files far beyond a launcher's own: the work must grow with their size and no faster. Blank lines
// after the section header, into which the first save puts all 775 entries, at two sizes (a ratio
// near 10 is linear), then 60 MB of line breaks loaded and saved against the durable floor.
void BenchLargeFiles(FileStore& files, const CodePage& codePage, const std::string& path, State& source) {
    double blankMs[2] = {};
    const std::size_t blankLines[2] = {100000, 1000000};
    for (int i = 0; i < 2; ++i) {
        std::string file = "[Rivo]\r\n";
        for (std::size_t n = 0; n < blankLines[i]; ++n)
            file += "\r\n";
        blankMs[i] = MedianMs(3, [&] {
            ProfileDocument doc = ProfileDocument::Parse(file, codePage);
            StoreSettings(doc, source.Target());
            volatile std::size_t size = doc.Serialize().size();
            (void)size;
        });
    }
    std::printf(
        "settings_bench first save after %zu and %zu blank lines: median %.1f ms and %.1f ms over 3 runs "
        "(parse, 775 writes, serialize), ratio %.1f\n",
        blankLines[0], blankLines[1], blankMs[0], blankMs[1], blankMs[1] / blankMs[0]);

    const std::string breaks(60u * 1000u * 1000u, '\n');
    WriteBytes(path, breaks);
    State loaded;
    bool ok = true;
    const double load =
        MedianMs(3, [&] { ok = LoadSettingsFile(files, codePage, path, loaded.Target()).ok && ok; });
    const double save = MedianMs(3, [&] {
        WriteBytes(path, breaks);
        ok = SaveSettingsFile(files, codePage, path, source.Target()).ok && ok;
    });
    ProfileDocument savedDoc = ProfileDocument::Parse(breaks, codePage);
    StoreSettings(savedDoc, source.Target());
    const std::string savedBytes = savedDoc.Serialize();
    const double floor = MedianMs(3, [&] { ok = FloorSave(path, savedBytes) && ok; });
    std::printf(
        "settings_bench 60 MB of line breaks: load median %.0f ms, save median %.0f ms over 3 runs (read, "
        "parse, 775 writes, %zu bytes flushed and replaced); floor %.0f ms, ours/floor %.2f%s\n",
        load, save, savedBytes.size(), floor, save / floor, ok ? "" : " [a load or save failed]");
}

}  // namespace

int main() {
    const PlatformCodePage codePage;
    PlatformFileStore files;

    State source;
    FillRealistic(source);
    ProfileDocument fresh(codePage);
    StoreSettings(fresh, source.Target());
    const std::string bytes = fresh.Serialize();
    const std::vector<Entry> entries = EntryNames();

    const std::string dir = MakeScratchDir();
#ifdef _WIN32
    const std::string path = dir + "\\Rivo.ini";
#else
    const std::string path = dir + "/Rivo.ini";
#endif
    WriteBytes(path, bytes);
    std::printf("settings_bench file: %zu bytes, %zu entries, %s\n", bytes.size(), entries.size(),
                path.c_str());

    constexpr int kOurRuns = 200;
    State loaded;
    bool ok = true;
    const double ourLoad =
        MedianMs(kOurRuns, [&] { ok = LoadSettingsFile(files, codePage, path, loaded.Target()).ok && ok; });
    std::printf(
        "settings_bench load ours: median %.3f ms over %d runs (LoadSettingsFile: read, parse, 775 "
        "reads)%s\n",
        ourLoad, kOurRuns, ok ? "" : " [a load failed]");

    ok = true;
    const double ourSave = MedianMs(kOurRuns, [&] {
        LoadedProfile profile = LoadProfile(files, codePage, path);
        StoreSettings(profile.document, source.Target());
        ok = SaveProfile(files, path, profile.document).ok && ok;
    });
    std::printf(
        "settings_bench save ours: median %.3f ms over %d runs (read, 775 writes, serialize, flushed "
        "atomic replace)%s\n",
        ourSave, kOurRuns, ok ? "" : " [a save failed]");

    ok = true;
    const double floorSave = MedianMs(kOurRuns, [&] { ok = FloorSave(path, bytes) && ok; });
    std::printf(
        "settings_bench save floor: median %.3f ms over %d runs (the same bytes to a new file, flushed, "
        "renamed over), ours/floor %.2f%s\n",
        floorSave, kOurRuns, ourSave / floorSave, ok ? "" : " [a save failed]");

    ok = true;
    const double ourSettingsSave =
        MedianMs(kOurRuns, [&] { ok = SaveSettingsFile(files, codePage, path, source.Target()).ok && ok; });
    std::printf("settings_bench save ours via SaveSettingsFile: median %.3f ms over %d runs%s\n",
                ourSettingsSave, kOurRuns, ok ? "" : " [a save failed]");

    ProfileDocument parsed = ProfileDocument::Parse(bytes, codePage);
    const double inMemory = MedianMs(kOurRuns, [&] {
        ProfileDocument doc = ProfileDocument::Parse(bytes, codePage);
        StoreSettings(doc, source.Target());
        volatile std::size_t size = doc.Serialize().size();
        (void)size;
    });
    std::printf(
        "settings_bench in-memory ours: median %.3f ms over %d runs (parse, 775 writes, serialize; no I/O)\n",
        inMemory, kOurRuns);

#ifdef _WIN32
    constexpr int kKernelRuns = 5;
    // The launcher's historical 255-character buffer.
    char buffer[255];
    WriteBytes(path, bytes);
    rivo::test::AgeFile(path);  // a file the launcher reads at start is older than Wine's 2 s
    const double kernelLoad = MedianMs(kKernelRuns, [&] {
        FlushProfileCache(path);
        for (const Entry& e : entries) {
            GetPrivateProfileStringA("Rivo", e.key.c_str(), e.fallback.c_str(), buffer, sizeof buffer,
                                     path.c_str());
        }
    });
    std::printf(
        "settings_bench load kernel32: median %.3f ms over %d runs (775 GetPrivateProfileStringA), "
        "kernel32/ours %.1f\n",
        kernelLoad, kKernelRuns, kernelLoad / ourLoad);

    WriteBytes(path, bytes);
    const double kernelLoadYoung = MedianMs(kKernelRuns, [&] {
        FlushProfileCache(path);
        for (const Entry& e : entries) {
            GetPrivateProfileStringA("Rivo", e.key.c_str(), e.fallback.c_str(), buffer, sizeof buffer,
                                     path.c_str());
        }
    });
    std::printf(
        "settings_bench load kernel32, file just written: median %.3f ms over %d runs, kernel32/ours %.1f\n",
        kernelLoadYoung, kKernelRuns, kernelLoadYoung / ourLoad);

    // The values a save writes, in its order, taken from the document our engine builds.
    std::vector<std::string> values;
    for (const Entry& e : entries)
        values.push_back(parsed.ReadString("Rivo", e.key, ""));
    const double kernelSave = MedianMs(3, [&] {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            WritePrivateProfileStringA("Rivo", entries[i].key.c_str(), values[i].c_str(), path.c_str());
        }
        FlushProfileCache(path);
    });
    std::printf(
        "settings_bench save kernel32: median %.3f ms over 3 runs (775 WritePrivateProfileStringA), "
        "kernel32/ours %.1f\n",
        kernelSave, kernelSave / ourSave);
#endif

    BenchLargeFiles(files, codePage, path, source);

    RemoveScratchDir(dir, path);
    return 0;
}
