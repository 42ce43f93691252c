#include "tests/win/driver/dropped_files.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/unique_handle.h"
#include "platform/wide_text.h"

namespace rivo::test {

namespace {

bool PostDropBlock(DWORD processId, HWND window, const std::string& block) {
    platform::UniqueKernelHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process)
        return false;
    void* remote =
        VirtualAllocEx(process.get(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process.get(), remote, block.data(), block.size(), nullptr))
        return false;
    return PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
}

}  // namespace

bool PostDrop(DWORD processId, HWND window, const std::vector<std::wstring>& paths) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::wstring& path : paths) {
        block.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
    }
    block.append(sizeof(wchar_t), '\0');
    return PostDropBlock(processId, window, block);
}

bool PostDrop(DWORD processId, HWND window, const std::vector<std::string>& paths) {
    std::vector<std::wstring> wide;
    for (const std::string& path : paths)
        wide.push_back(platform::Wide(path));
    return PostDrop(processId, window, wide);
}

bool PostDrop(DWORD processId, HWND window, const std::wstring& path) {
    return PostDrop(processId, window, std::vector<std::wstring>{path});
}

}  // namespace rivo::test
