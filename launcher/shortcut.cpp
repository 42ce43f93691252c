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
    // Never a box of the shell's own (which can offer to delete the shortcut), never a search of
    // the disks for a moved target, never a rewrite of the user's file: what it says, or nothing.
    // With SLR_NO_UI the high word is the time allowed, in milliseconds.
    const DWORD resolveFlags = SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK | (1000u << 16);
    if (FAILED(link->Resolve(nullptr, resolveFlags)))
        return false;

    std::vector<wchar_t> buffer(kLongestPath, L'\0');
    WIN32_FIND_DATAW found{};
    // S_FALSE and an empty path: a target with no file-system path (the computer, a Control Panel
    // item), which only the shortcut itself can start.
    if (link->GetPath(buffer.data(), kLongestPath, &found, SLGP_UNCPRIORITY) != S_OK || buffer[0] == L'\0')
        return false;
    std::optional<std::string> path = Registrable(Written(buffer));
    if (!path)
        return false;

    std::fill(buffer.begin(), buffer.end(), L'\0');
    link->GetWorkingDirectory(buffer.data(), kLongestPath);
    // Kept as the shortcut writes it ("%HOMEDRIVE%%HOMEPATH%"): the shell expands it when it starts
    // the shortcut, SetCurrentDirectory never would.
    const std::optional<std::wstring> workDirWritten = Written(buffer);
    std::optional<std::string> workDir = Registrable(
        workDirWritten ? std::optional(platform::ExpandEnvironment(*workDirWritten)) : std::nullopt);
    if (!workDir)
        return false;

    // Its arguments ride with the target as the quoted form, which the launch splits again; a
    // shortcut without any registers its bare target as before.
    std::fill(buffer.begin(), buffer.end(), L'\0');
    link->GetArguments(buffer.data(), kLongestPath);
    const std::optional<std::wstring> arguments = Written(buffer);
    if (!arguments)
        return false;
    const std::size_t first = arguments->find_first_not_of(L" \t");
    if (first != std::wstring::npos) {
        const std::optional<std::string> narrow = platform::NarrowExact(arguments->substr(first));
        if (!narrow)
            return false;
        *path = QuotedCommand(*path, *narrow);
    }

    target.path = std::move(*path);
    target.workDir = std::move(*workDir);
    return true;
}

}  // namespace rivo
