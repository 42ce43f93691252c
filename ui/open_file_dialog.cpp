#include "ui/open_file_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <stdexcept>
#include <vector>

#include "platform/system_library.h"

namespace rivo::ui {

namespace {

// Long enough for any path; a larger need is asked for by the dialog.
constexpr size_t kInitialBuffer = 32768;

}  // namespace

std::optional<std::wstring> OpenFileDialog(HWND owner) {
    static const platform::SystemLibrary comdlg32(L"comdlg32.dll");
    const auto getOpenFileName = comdlg32.Function<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetOpenFileNameW");
    const auto extendedError = comdlg32.Function<DWORD(WINAPI*)()>("CommDlgExtendedError");
    if (!getOpenFileName || !extendedError)
        throw std::runtime_error("comdlg32.dll: the open-file dialog is missing");
    std::vector<wchar_t> buffer(kInitialBuffer, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = static_cast<DWORD>(buffer.size());
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
        buffer[0] = L'\0';
        if (getOpenFileName(&dialog))
            return std::wstring(buffer.data(), ::wcsnlen(buffer.data(), buffer.size()));
        const DWORD error = extendedError();
        if (error == 0)
            return std::nullopt;  // cancelled
        if (error == FNERR_BUFFERTOOSMALL) {
            // The first two bytes hold the size the chosen name needs.
            WORD needed = 0;
            std::memcpy(&needed, buffer.data(), sizeof needed);
            buffer.assign(std::max<size_t>(needed + 1u, buffer.size() * 2), L'\0');
            continue;
        }
        throw std::runtime_error("GetOpenFileNameW: common dialog error " + std::to_string(error));
    }
    throw std::runtime_error("GetOpenFileNameW: the chosen file name does not fit");
}

}  // namespace rivo::ui
