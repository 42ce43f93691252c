#include "launcher/tray_icon.h"

#include <shellapi.h>

#include <cstring>

namespace rivo {

TrayIcon::TrayIcon(HWND window, UINT id, UINT callbackMessage, const char* tip)
    : window_(window), id_(id), callbackMessage_(callbackMessage), tip_(tip) {}

NOTIFYICONDATAA TrayIcon::Record(UINT flags, HICON icon) const {
    NOTIFYICONDATAA record{};
    record.cbSize = RecordSize();
    record.hWnd = window_;
    record.uID = id_;
    record.uFlags = flags;
    record.uCallbackMessage = callbackMessage_;
    record.hIcon = icon;
    // The first version of the record has a 64-byte tip.
    std::strncpy(record.szTip, tip_, 63);
    return record;
}

bool TrayIcon::Add(HICON icon) {
    NOTIFYICONDATAA record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP, icon);
    added_ = Shell_NotifyIconA(NIM_ADD, &record) != FALSE;
    // An Explorer busy past its time-out reports a failed add that it carried out; then the icon
    // is there, NIM_MODIFY reaches it, and it is ours to switch and delete.
    if (!added_)
        added_ = Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
    return added_;
}

bool TrayIcon::Modify(HICON icon) {
    NOTIFYICONDATAA record = Record(NIF_ICON, icon);
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

void TrayIcon::Delete() {
    NOTIFYICONDATAA record = Record(0, nullptr);
    Shell_NotifyIconA(NIM_DELETE, &record);
    added_ = false;
}

}  // namespace rivo
