#include "core/key_choice.h"

namespace rivo {

namespace {
constexpr std::uint16_t kEnter = 13;
constexpr std::uint16_t kEscape = 27;
constexpr std::uint16_t kProcessKey = 229;
constexpr std::uint16_t kHankakuZenkaku1 = 0xF3;
constexpr std::uint16_t kHankakuZenkaku2 = 0xF4;
}  // namespace

std::optional<std::uint16_t> SlotOfKey(std::uint16_t key) {
    if (key == kProcessKey) return std::nullopt;
    if (key == kHankakuZenkaku1 || key == kHankakuZenkaku2) return kProcessKey;
    return key;
}

DialogKey CheckDialogKey(std::uint16_t key) {
    if (key == kEscape) return DialogKey::Cancel;
    if (key == kEnter) return DialogKey::Confirm;
    return DialogKey::None;
}

KeyChoice ChooseKey(std::uint16_t key) {
    if (key >= 0xF0) return KeyChoice::Ignore;
    if (key == 0x10 || key == 0x11 || key == 0x14) return KeyChoice::Ignore;
    switch (CheckDialogKey(key)) {
        case DialogKey::Confirm: return KeyChoice::ChooseAndConfirm;
        case DialogKey::Cancel: return KeyChoice::ChooseAndCancel;
        case DialogKey::None: break;
    }
    return KeyChoice::Choose;
}

std::string KeyDisplayText(std::uint16_t key, const KeyStringTable& names) {
    if (key >= 0x30 && key <= 0x5A) {
        return std::string(1, static_cast<char>(key));
    }
    if (key < kKeyCount && !names[key].empty()) {
        return names[key];
    }
    return std::to_string(key);
}

}  // namespace rivo
