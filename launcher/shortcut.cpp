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

#include "core/shell_command.h"
#include "platform/com_apartment.h"
#include "platform/environment.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "platform/win32_code_page.h"

namespace rivo {

namespace {

// The longest path the system accepts; a result that fills the whole buffer was cut.
constexpr int kLongestPath = 32768;

// The text a call wrote into `buffer`; nullopt when it filled the buffer, and so was cut.
std::optional<std::wstring> Written(const std::vector<wchar_t>& buffer) {
    const std::size_t length = wcsnlen(buffer.data(), buffer.size());
    if (length + 1 >= buffer.size())
        return std::nullopt;
    return std::wstring(buffer.data(), length);
}

// As it can be registered: a name code page 932 cannot write by its short form.
std::optional<std::string> Registrable(const std::optional<std::wstring>& text) {
    return text ? platform::RegistrableFilePath(*text) : std::nullopt;
}

// One text of the link, read through `get(buffer, size)`; nullopt when it filled the buffer.
template <class Get>
std::optional<std::wstring> LinkText(Get get) {
    std::vector<wchar_t> buffer(kLongestPath, L'\0');
    get(buffer.data(), kLongestPath);
    return Written(buffer);
}

// The shortcut file loaded and resolved, or null. COM must be initialised for as long as it lives.
platform::ComPtr<IShellLinkW> OpenShortcut(const std::string& shortcutPath) {
    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void()))) {
        return {};
    }
    platform::ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file)))
        return {};
    const std::wstring widePath = platform::Wide(shortcutPath);
    if (widePath.empty() || FAILED(file->Load(widePath.c_str(), STGM_READ)))
        return {};
    // Never a box of the shell's own (which can offer to delete the shortcut), never a search of
    // the disks for a moved target, never a rewrite of the user's file: what it says, or nothing.
    // With SLR_NO_UI the high word is the time allowed, in milliseconds.
    const DWORD resolveFlags = SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK | (1000u << 16);
    if (FAILED(link->Resolve(nullptr, resolveFlags)))
        return {};
    return link;
}

// The target with the shortcut's arguments as the quoted form, which the launch splits again; a
// shortcut without any gives its bare target.
std::optional<std::string> WithArguments(std::string path, const std::optional<std::wstring>& arguments) {
    if (!arguments)
        return std::nullopt;
    const std::size_t first = arguments->find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return path;
    const std::optional<std::string> narrow = platform::NarrowExact(arguments->substr(first));
    if (!narrow)
        return std::nullopt;
    return QuotedCommand(path, *narrow);
}

}  // namespace

bool ResolveShortcut(const std::string& shortcutPath, ShortcutTarget& target) {
    const platform::ComApartment apartment;
    if (!apartment.Usable())
        return false;
    // Declared after the apartment: every interface is released before CoUninitialize.
    const platform::ComPtr<IShellLinkW> link = OpenShortcut(shortcutPath);
    if (!link)
        return false;

    HRESULT pathResult = E_FAIL;
    WIN32_FIND_DATAW found{};
    const std::optional<std::wstring> targetPath = LinkText([&](wchar_t* buffer, int size) {
        pathResult = link->GetPath(buffer, size, &found, SLGP_UNCPRIORITY);
    });
    // S_FALSE and an empty path: a target with no file-system path (the computer, a Control Panel
    // item), which only the shortcut itself can start.
    if (pathResult != S_OK || (targetPath && targetPath->empty()))
        return false;
    std::optional<std::string> path = Registrable(targetPath);
    if (!path)
        return false;

    // Expanded ("%HOMEDRIVE%%HOMEPATH%"): the shell does it when it starts the shortcut itself,
    // SetCurrentDirectory never would.
    const std::optional<std::wstring> workDirWritten =
        LinkText([&](wchar_t* buffer, int size) { link->GetWorkingDirectory(buffer, size); });
    std::optional<std::string> workDir = Registrable(
        workDirWritten ? std::optional(platform::ExpandEnvironment(*workDirWritten)) : std::nullopt);
    if (!workDir)
        return false;

    std::optional<std::string> command = WithArguments(
        std::move(*path), LinkText([&](wchar_t* buffer, int size) { link->GetArguments(buffer, size); }));
    if (!command)
        return false;
    target.path = std::move(*command);
    target.workDir = std::move(*workDir);
    return true;
}

}  // namespace rivo
