// Recognises the call-up chord in the stream of key events the keyboard hook sees.
#pragma once

#include <bitset>
#include <cstdint>

namespace rivo {

// One key event as a low-level keyboard hook reports it.
struct KeyEvent {
    std::uint32_t vk;  // virtual-key code; left/right variants as the hook reports them
    bool down;         // key-down (auto-repeat included) or key-up
    bool injected;     // synthesised by some program; counts like a physical key
};

enum class ChordAction { None, CallUp };

// The code a key is compared with the call-up keys as: the left and right Shift, Ctrl and Alt
// codes (0xA0-0xA5) count as the generic 16, 17 and 18, every other code as itself.
std::uint32_t GenericKey(std::uint32_t vk);

// The call-up fires when both call-up keys have gone down and then every call-up key is up
// again, with no other key going down and no mouse button going down or up in between. Either
// key may go down first. Holding the keys together is what makes a chord: a key tapped and
// released before the other goes down starts a new attempt. A button pressed meanwhile makes
// the keys the modifiers of a click or a drag (Ctrl+Shift+click selects a range), and one
// released meanwhile the modifiers of a drop (Ctrl+Shift while dropping makes a shortcut): not a
// chord. Auto-repeated downs of a held key are not "another key", so holding the chord long does
// not spoil it; a key released before the chord started does not either.
//
// Both keys equal (a hand-edited settings file) means one press and release of that key, again
// only when no other key went down meanwhile (so typing a capital letter does not call up).
// A key code of 0 or above 255 never goes down, so such a call-up key disables the chord.
class ChordDetector {
public:
    ChordDetector() = default;
    ChordDetector(std::uint32_t key1, std::uint32_t key2) { SetKeys(key1, key2); }

    // New call-up keys take effect with the next event; a chord in progress is forgotten. A
    // sided code among them (a hand-edited settings file) stands for either hand's key.
    void SetKeys(std::uint32_t key1, std::uint32_t key2);
    void Reset();

    ChordAction OnKey(const KeyEvent& event);
    // A mouse button went down or up (any button; moves and the wheel do not count).
    void OnButton();

    // True while a call-up key is held: the user may be in the middle of the chord.
    bool InProgress() const { return held_.any(); }

    // Forgets call-up keys that the system reports as up on two sweeps in a row with no event
    // of that key in between. Key-ups can be lost (the secure desktop of Ctrl+Alt+Del takes
    // them, a hook that was removed for a while misses them); a key believed held for ever
    // would otherwise spoil or block every later chord. One sweep alone is not trusted: the
    // system may update its key state just after the hook has seen the event. The attempt that
    // lost a key never fires.
    template <typename IsDown>  // bool(std::uint32_t vk): the system's key state
    void SweepReleased(IsDown&& isDown) {
        bool dropped = false;
        for (std::uint32_t vk = 0; vk < kCodes; ++vk) {
            if (held_[vk])
                dropped = SweepKey(vk, isDown(vk)) || dropped;
        }
        if (dropped)
            AbandonAttempt();
    }

private:
    static constexpr std::size_t kCodes = 256;

    bool IsCallUpKey(std::uint32_t generic) const;
    void Release(std::uint32_t vk);
    ChordAction EndAttemptIfReleased();
    bool SweepKey(std::uint32_t vk, bool systemDown);
    void AbandonAttempt();

    std::uint32_t key1_ = 0;
    std::uint32_t key2_ = 0;
    std::bitset<kCodes> held_;     // call-up keys down, by the code the hook reported
    std::bitset<kCodes> suspect_;  // held keys the last sweep found up
    bool seen1_ = false;
    bool seen2_ = false;
    bool spoiled_ = false;  // another key went down during this attempt
};

}  // namespace rivo
