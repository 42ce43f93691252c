// The registration dialog's key: what a key press in its key field means, and how a key is shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/launcher_state.h"

namespace rivo {

// The slot a key pressed in the launcher window or the registration dialog's key field stands
// for. Those windows have no input context, so a Japanese IME never turns their keys into
// VK_PROCESSKEY (229); the Hankaku/Zenkaku key then arrives as its own two codes (0xF3 and 0xF4,
// alternating) and stands for the slot named after it, 229, which it reached as VK_PROCESSKEY
// through an input context. A 229 that arrives anyway comes from no key of its own: no slot.
std::optional<std::uint16_t> SlotOfKey(std::uint16_t key);

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
