#include "core/key_dispatch.h"

#include "core/key_choice.h"

namespace rivo {

namespace {

constexpr std::uint16_t kFirstUnusedCode = 0xF0;
constexpr std::uint16_t kShift = 0x10;

bool Is(std::uint16_t key, std::int32_t field) {
    return key == static_cast<std::uint16_t>(field);
}

}  // namespace

std::optional<std::uint16_t> DispatchedKey(std::uint16_t key, bool repeat) {
    if (repeat) {
        return std::nullopt;
    }
    return SlotOfKey(key);
}

bool KeyDispatcher::IsCommandKey(const TRivoMainSet& settings, std::uint16_t key) {
    return key >= kKeyCount || settings.Filter[key] != 1;
}

void KeyDispatcher::CalledUp(std::uint32_t tick) {
    calledUp_ = true;
    calledUpAt_ = tick;
    Key1Pressed = 0;
}

void KeyDispatcher::FormKeyDown(std::uint16_t key, const TRivoMainSet& settings,
                                const KeyStringTable& commands, KeyDispatchActions& actions,
                                const KeyPress& press) {
    if (key >= kFirstUnusedCode) {
        return;
    }
    // Tick differences, so that the comparison survives the counter's wrap.
    const bool pressedBeforeCallUp = calledUp_ && static_cast<std::int32_t>(press.time - calledUpAt_) <= 0;
    if (Is(key, settings.Key1) && (press.key1Held || !pressedBeforeCallUp)) {
        Key1Pressed = 1;
    }
    if (!IsCommandKey(settings, key)) {
        // Both are tested: a key that is EndKey and SetKey at once closes and then opens options.
        if (Is(key, settings.EndKey)) {
            actions.CloseMainWindow();
        }
        if (Is(key, settings.SetKey)) {
            actions.OpenOptions();
        }
        return;
    }
    const auto slot = static_cast<std::uint8_t>(key);
    if (!commands[slot].empty() && Key1Pressed != 1) {
        switch (actions.Launch(slot)) {
            case LaunchOutcome::Started:
            case LaunchOutcome::Cancelled:
                return;
            case LaunchOutcome::Failed:
                break;
        }
    }
    Key1Pressed = 0;
    if (key == kShift) {
        return;
    }
    actions.Register(slot);
}

void KeyDispatcher::FormKeyUp(std::uint16_t key, const TRivoMainSet& settings) {
    if (Is(key, settings.Key1)) {
        Key1Pressed = 0;
    }
}

ShellStartError ClassifyShellExecuteResult(std::intptr_t result) {
    if (result > 32)
        return ShellStartError::None;
    switch (result) {
        case 0:
            return ShellStartError::OutOfMemory;
        case 2:
            return ShellStartError::FileNotFound;
        case 3:
            return ShellStartError::PathNotFound;
        case 11:
            return ShellStartError::BadFormat;
        case 26:
            return ShellStartError::ShareViolation;
        case 27:
            return ShellStartError::AssociationIncomplete;
        case 31:
            return ShellStartError::NoAssociation;
        default:
            return ShellStartError::Unknown;
    }
}

std::string CurrentDirectoryForLaunch(const std::string& workDir) {
    return workDir + "\\";
}

}  // namespace rivo
