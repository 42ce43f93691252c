#include "platform/program_dir.h"

#include <windows.h>

#include <optional>

#include "core/path_utils.h"
#include "platform/wide_text.h"

namespace rivo::platform {

std::wstring ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        // A full buffer means the name was cut: try again with a larger one.
        if (length < buffer.size() || buffer.size() >= 32768) {
            buffer.resize(length < buffer.size() ? length : 0);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

const ProgramFolder& ThisProgramFolder() {
    static const ProgramFolder folder = [] {
        const std::wstring path = ExecutablePath();
        const std::u16string_view units(reinterpret_cast<const char16_t*>(path.data()), path.size());
        const std::u16string wide = FolderOfPath(units);
        ProgramFolder found;
        found.wide.assign(wide.begin(), wide.end());
        const std::optional<std::string> exact = NarrowExact(found.wide);
        found.narrow = exact ? *exact : Narrow(found.wide);
        found.exact = exact.has_value();
        return found;
    }();
    return folder;
}

std::string ExecutableDirectory() {
    return ThisProgramFolder().narrow;
}

std::wstring WidePath(std::string_view path) {
    const ProgramFolder& folder = ThisProgramFolder();
    // A '?' cannot be part of a file name, so the lossy name of the folder stands for it alone.
    if (folder.exact || path.substr(0, folder.narrow.size()) != folder.narrow)
        return Wide(path);
    return folder.wide + Wide(path.substr(folder.narrow.size()));
}

}  // namespace rivo::platform
