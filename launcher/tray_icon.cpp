#include "launcher/tray_icon.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "platform/wide_text.h"

namespace rivo {

TrayIcon::TrayIcon(HWND window, UINT id, UINT callbackMessage, const char* tip)
    : window_(window), id_(id), callbackMessage_(callbackMessage), tip_(tip) {}

NOTIFYICONDATAW TrayIcon::Record(UINT flags, HICON icon) const {
    NOTIFYICONDATAW record{};
    record.cbSize = RecordSize();
    record.hWnd = window_;
    record.uID = id_;
    record.uFlags = flags;
    record.uCallbackMessage = callbackMessage_;
    record.hIcon = icon;
    // The first version of the record has a tip of 64 units; the text is ours, in code page 932.
    const std::wstring tip = platform::Wide(tip_).substr(0, 63);
    std::memcpy(record.szTip, tip.c_str(), (tip.size() + 1) * sizeof(wchar_t));
    return record;
}

bool TrayIcon::Add(HICON icon) {
    NOTIFYICONDATAW record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP, icon);
    added_ = Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    // An Explorer busy past its time-out reports a failed add that it carried out; then the icon
    // is there, NIM_MODIFY reaches it, and it is ours to switch and delete.
    if (!added_)
        added_ = Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
    return added_;
}

bool TrayIcon::Modify(HICON icon) {
    NOTIFYICONDATAW record = Record(NIF_ICON, icon);
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

void TrayIcon::Delete() {
    NOTIFYICONDATAW record = Record(0, nullptr);
    Shell_NotifyIconW(NIM_DELETE, &record);
    added_ = false;
}

}  // namespace rivo
