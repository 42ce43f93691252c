// The launcher's icon in the notification area.
#pragma once

#include <windows.h>

namespace rivo {

class TrayIcon {
public:
    TrayIcon(HWND window, UINT id, UINT callbackMessage, const char* tip);

    // NIM_ADD with message, icon and tip; when that fails, NIM_MODIFY, which succeeds where the
    // icon exists anyway. False when the taskbar does not have it (Explorer not running yet); the
    // caller retries.
    bool Add(HICON icon);
    // NIM_MODIFY of the picture only.
    bool Modify(HICON icon);
    // NIM_DELETE; harmless when the icon was never added.
    void Delete();

    // Explorer restarted: its new taskbar has no icons, so the next Add must really add.
    void Forget() noexcept { added_ = false; }
    bool Added() const noexcept { return added_; }

    // The size of the record handed to the shell: the first version of the structure, which every
    // shell accepts (152 bytes in the 32-bit build, 168 in the 64-bit one).
    static constexpr DWORD RecordSize() noexcept { return NOTIFYICONDATAW_V1_SIZE; }

private:
    NOTIFYICONDATAW Record(UINT flags, HICON icon) const;

    HWND window_;
    UINT id_;
    UINT callbackMessage_;
    const char* tip_;
    bool added_ = false;
};

}  // namespace rivo
