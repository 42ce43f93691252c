#include "ui/raw_keys.h"

#include <windows.h>
#include <imm.h>

namespace rivo::ui {

void TakeRawKeys(HWND window) noexcept {
    ::ImmAssociateContextEx(window, nullptr, 0);
}

}  // namespace rivo::ui
