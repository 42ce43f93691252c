#include "core/rivo_main_set.h"

#include <string>

#include "core/int_conversion.h"
#include "core/profile_document.h"
#include "core/settings_file.h"

namespace rivo {

namespace {

// A value that is not a number (only a hand edit makes one) takes the entry's default, so the
// rest of the file still loads and the next save writes a valid number.
std::int32_t ReadNumber(const ProfileDocument& profile, const char* key, const char* fallback) {
    if (auto value = ParseFrameworkInt(profile.ReadString(kSettingsSection, key, fallback))) {
        return *value;
    }
    return *ParseFrameworkInt(fallback);
}

// Key fields index 256-entry tables: a hand-edited value outside 0-255 keeps its low 8 bits, the
// same reduction the options dialog applies.
std::int32_t ReadKey(const ProfileDocument& profile, const char* key, const char* fallback) {
    return ReadNumber(profile, key, fallback) & 0xFF;
}

}  // namespace

int TRivoMainSet::LoadKeys(const ProfileDocument& profile) {
    Key1 = ReadKey(profile, "Key1", "0x10");
    Key2 = ReadKey(profile, "Key2", "0x11");
    SetKey = ReadKey(profile, "SetKey", "0x2D");
    EndKey = ReadKey(profile, "EndKey", "0x2E");
    FormType = static_cast<std::uint8_t>(ReadNumber(profile, "FormType", "0"));
    ForceKeyFilters();
    return 1;
}

int TRivoMainSet::SaveKeys(ProfileDocument& profile) const {
    // The keys are written unsigned, the window mode signed.
    profile.Write(kSettingsSection, "Key1", std::to_string(static_cast<std::uint32_t>(Key1)));
    profile.Write(kSettingsSection, "Key2", std::to_string(static_cast<std::uint32_t>(Key2)));
    profile.Write(kSettingsSection, "SetKey", std::to_string(static_cast<std::uint32_t>(SetKey)));
    profile.Write(kSettingsSection, "EndKey", std::to_string(static_cast<std::uint32_t>(EndKey)));
    profile.Write(kSettingsSection, "FormType", std::to_string(static_cast<int>(FormType)));
    return 1;
}

void TRivoMainSet::ForceKeyFilters() {
    for (std::int32_t key : {Key1, Key2, SetKey, EndKey}) {
        Filter[static_cast<std::uint8_t>(key)] = 1;
    }
}

}  // namespace rivo
