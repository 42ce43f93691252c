// The settings record: window position, call-up and command keys, window mode, key filters.
#pragma once

#include <array>
#include <cstdint>

#include "core/launcher_state.h"

namespace rivo {

class ProfileDocument;

class TRivoMainSet {
public:
    std::int32_t Top = 0;
    std::int32_t Left = 0;
    std::int32_t Key1 = 16;
    std::int32_t Key2 = 17;
    std::int32_t SetKey = 45;
    std::int32_t EndKey = 46;
    std::uint8_t FormType = 0;
    // 1 = the key neither starts nor registers a command; any other value lets it through.
    std::array<std::uint8_t, kKeyCount> Filter{};

    // Reads Key1, Key2, SetKey, EndKey and FormType, then forces the four keys filtered.
    int LoadKeys(const ProfileDocument& profile);
    // Writes the same five entries.
    int SaveKeys(ProfileDocument& profile) const;

    // Sets Filter to 1 for Key1, Key2, SetKey and EndKey.
    void ForceKeyFilters();
};

}  // namespace rivo
