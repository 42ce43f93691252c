#include "launcher/shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/com_apartment.h"
#include "platform/unique_handle.h"

namespace rivo {

namespace {

// The longest path the system accepts; a result that fills the whole buffer was cut.
constexpr int kLongestPath = 32768;

std::wstring Widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

// The text a call wrote into `buffer`; false when it filled the buffer (and so was cut).
bool Fits(const std::vector<char>& buffer, std::string& out) {
    const std::size_t length = strnlen(buffer.data(), buffer.size());
    if (length + 1 >= buffer.size())
        return false;
    out.assign(buffer.data(), length);
    return true;
}

}  // namespace

bool ResolveShortcut(const std::string& shortcutPath, ShortcutTarget& target) {
    const platform::ComApartment apartment;
    if (!apartment.Usable())
        return false;

    platform::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put_void()))) {
        return false;
    }
    // Declared after the apartment: every interface is released before CoUninitialize.
    platform::ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file)))
        return false;

    const std::wstring widePath = Widen(shortcutPath);
    if (widePath.empty() || FAILED(file->Load(widePath.c_str(), STGM_READ)))
        return false;
    if (FAILED(link->Resolve(nullptr, SLR_UPDATE)))
        return false;

    std::vector<char> buffer(kLongestPath, '\0');
    WIN32_FIND_DATAA found{};
    link->GetPath(buffer.data(), kLongestPath, &found, SLGP_UNCPRIORITY);
    ShortcutTarget result;
    if (!Fits(buffer, result.path))
        return false;

    std::fill(buffer.begin(), buffer.end(), '\0');
    link->GetWorkingDirectory(buffer.data(), kLongestPath);
    if (!Fits(buffer, result.workDir))
        return false;

    target = std::move(result);
    return true;
}

}  // namespace rivo
