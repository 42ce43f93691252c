#include "core/chord_detector.h"

namespace rivo {

namespace {

constexpr std::uint32_t kFirstSidedModifier = 0xA0;  // VK_LSHIFT
constexpr std::uint32_t kLastSidedModifier = 0xA5;   // VK_RMENU
constexpr std::uint32_t kShift = 16;

// The bitsets are indexed with operator[]: every code is range-checked before, and the checked
// members would pull exception support into the hook library for nothing.

bool IsSided(std::uint32_t vk) {
    return vk >= kFirstSidedModifier && vk <= kLastSidedModifier;
}

}  // namespace

std::uint32_t GenericKey(std::uint32_t vk) {
    return IsSided(vk) ? kShift + (vk - kFirstSidedModifier) / 2 : vk;
}

void ChordDetector::SetKeys(std::uint32_t key1, std::uint32_t key2) {
    key1_ = GenericKey(key1);
    key2_ = GenericKey(key2);
    Reset();
}

void ChordDetector::Reset() {
    held_.reset();
    suspect_.reset();
    seen1_ = seen2_ = spoiled_ = false;
}

bool ChordDetector::IsCallUpKey(std::uint32_t generic) const {
    return generic != 0 && generic < kCodes && (generic == key1_ || generic == key2_);
}

ChordAction ChordDetector::OnKey(const KeyEvent& event) {
    const std::uint32_t generic = GenericKey(event.vk);
    if (!IsCallUpKey(generic)) {
        if (event.down && InProgress())
            spoiled_ = true;
        return ChordAction::None;
    }
    suspect_[event.vk] = false;
    if (!event.down) {
        Release(event.vk);
        return EndAttemptIfReleased();
    }
    if (!InProgress())
        seen1_ = seen2_ = spoiled_ = false;
    held_[event.vk] = true;
    seen1_ = seen1_ || generic == key1_;
    seen2_ = seen2_ || generic == key2_;
    return ChordAction::None;
}

void ChordDetector::OnButton() {
    if (InProgress())
        spoiled_ = true;
}

// A key-down may come under one code and its key-up under another (a generic key-down injected
// by a program, a sided key-up from the keyboard): a generic key-up releases every variant, a
// sided one releases itself and the generic code, so a mixed pair never leaves a key held.
void ChordDetector::Release(std::uint32_t vk) {
    const std::uint32_t generic = GenericKey(vk);
    held_[vk] = held_[generic] = false;
    if (vk == generic && generic >= kShift && generic <= kShift + 2) {
        const std::uint32_t left = kFirstSidedModifier + 2 * (generic - kShift);
        held_[left] = held_[left + 1] = false;
    }
}

ChordAction ChordDetector::EndAttemptIfReleased() {
    if (InProgress() || !(seen1_ || seen2_))
        return ChordAction::None;
    const bool fire = seen1_ && seen2_ && !spoiled_;
    seen1_ = seen2_ = spoiled_ = false;
    return fire ? ChordAction::CallUp : ChordAction::None;
}

// Returns whether the key was dropped.
bool ChordDetector::SweepKey(std::uint32_t vk, bool systemDown) {
    if (systemDown) {
        suspect_[vk] = false;
        return false;
    }
    if (!suspect_[vk]) {
        suspect_[vk] = true;
        return false;
    }
    held_[vk] = suspect_[vk] = false;
    return true;
}

// An attempt that lost a key-up never fires: nobody knows what the user pressed meanwhile.
void ChordDetector::AbandonAttempt() {
    spoiled_ = true;
    if (!InProgress())
        seen1_ = seen2_ = spoiled_ = false;
}

}  // namespace rivo
