#include "launcher/shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <vector>

#include "platform/com_apartment.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "platform/win32_code_page.h"

namespace rivo {

namespace {

// The longest path the system accepts; a result that fills the whole buffer was cut.
constexpr int kLongestPath = 32768;

// The text a call wrote into `buffer`, as it can be registered (a name code page 932 cannot write
// by its short form); nullopt when it filled the buffer (and so was cut) or cannot be registered.
std::optional<std::string> Registrable(const std::vector<wchar_t>& buffer) {
    const std::size_t length = wcsnlen(buffer.data(), buffer.size());
    if (length + 1 >= buffer.size())
        return std::nullopt;
    return platform::RegistrableFilePath(std::wstring(buffer.data(), length));
}

}  // namespace

bool ResolveShortcut(const std::string& shortcutPath, ShortcutTarget& target) {
    const platform::ComApartment apartment;
    if (!apartment.Usable())
        return false;

    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void()))) {
        return false;
    }
    // Declared after the apartment: every interface is released before CoUninitialize.
    platform::ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file)))
        return false;

    const std::wstring widePath = platform::Wide(shortcutPath);
    if (widePath.empty() || FAILED(file->Load(widePath.c_str(), STGM_READ)))
        return false;
    if (FAILED(link->Resolve(nullptr, SLR_UPDATE)))
        return false;

    std::vector<wchar_t> buffer(kLongestPath, L'\0');
    WIN32_FIND_DATAW found{};
    link->GetPath(buffer.data(), kLongestPath, &found, SLGP_UNCPRIORITY);
    std::optional<std::string> path = Registrable(buffer);
    if (!path)
        return false;

    std::fill(buffer.begin(), buffer.end(), L'\0');
    link->GetWorkingDirectory(buffer.data(), kLongestPath);
    std::optional<std::string> workDir = Registrable(buffer);
    if (!workDir)
        return false;

    target.path = std::move(*path);
    target.workDir = std::move(*workDir);
    return true;
}

}  // namespace rivo
