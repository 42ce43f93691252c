// One registration request handed to the registration dialog and back.
#pragma once

#include <cstdint>
#include <string>

namespace rivo {

// A KeyCode outside 0-255: no key has been chosen yet, so nothing may be stored under it.
inline constexpr std::uint16_t kNoKeyChosen = 0xFFFF;

class TSetCommand {
public:
    std::uint16_t KeyCode = kNoKeyChosen;
    std::string Command;
    std::string WorkDir;

    bool HasKey() const { return KeyCode < 256; }
};

}  // namespace rivo
