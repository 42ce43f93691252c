// The registration dialog's key: what a key press in its key field means, and how a key is shown.
#pragma once

#include <cstdint>
#include <string>

#include "core/launcher_state.h"

namespace rivo {

enum class KeyChoice {
    Ignore,               // codes from 240 on, Shift, Ctrl and Caps Lock
    Choose,               // the key becomes the dialog's key
    ChooseAndConfirm,     // Enter: chosen, and the dialog ends confirmed
    ChooseAndCancel,      // Esc: chosen, and the dialog ends cancelled
};

KeyChoice ChooseKey(std::uint16_t key);

// The character itself for 0x30-0x5A, else the key's name, else its code in decimal; never empty.
std::string KeyDisplayText(std::uint16_t key, const KeyStringTable& names);

// What Enter or Esc typed in one of the dialog's fields does.
enum class DialogKey { None, Confirm, Cancel };
DialogKey CheckDialogKey(std::uint16_t key);

}  // namespace rivo
