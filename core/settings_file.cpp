#include "core/settings_file.h"

#include <string>

#include "core/int_conversion.h"
#include "core/profile_document.h"
#include "core/profile_file.h"

namespace rivo {

namespace {

constexpr int kWorkDirOffset = 300;
constexpr int kFilterOffset = 600;

std::int32_t ReadNumberOr(const ProfileDocument& profile, const std::string& key, std::int32_t fallback) {
    return ParseFrameworkInt(profile.ReadString(kSettingsSection, key, "0")).value_or(fallback);
}

}  // namespace

std::string SettingsPath(std::string_view programDir) {
    std::string path(programDir);
    path += "\\Rivo.ini";
    return path;
}

void ApplySettings(const ProfileDocument& profile, SettingsTarget target) {
    for (int k = 0; k < kKeyCount; ++k) {
        target.commands[k] = profile.ReadString(kSettingsSection, std::to_string(k), "");
        target.workDirs[k] = profile.ReadString(kSettingsSection, std::to_string(k + kWorkDirOffset), "");
        target.mainSet.Filter[k] =
            static_cast<std::uint8_t>(ReadNumberOr(profile, std::to_string(k + kFilterOffset), 0));
    }
    target.window.MoveWindowTop(ReadNumberOr(profile, "Top", 0));
    target.window.MoveWindowLeft(ReadNumberOr(profile, "Left", 0));
    target.mainSet.LoadKeys(profile);
}

void StoreSettings(ProfileDocument& profile, const SettingsTarget& source) {
    for (int k = 0; k < kKeyCount; ++k) {
        profile.Write(kSettingsSection, std::to_string(k), source.commands[k]);
        profile.Write(kSettingsSection, std::to_string(k + kWorkDirOffset), source.workDirs[k]);
        profile.Write(kSettingsSection, std::to_string(k + kFilterOffset),
                      std::to_string(static_cast<int>(source.mainSet.Filter[k])));
    }
    profile.Write(kSettingsSection, "Top", std::to_string(source.window.WindowTop()));
    profile.Write(kSettingsSection, "Left", std::to_string(source.window.WindowLeft()));
    source.mainSet.SaveKeys(profile);
}

SettingsFileResult LoadSettingsFile(FileStore& files, const CodePage& codePage, const std::string& path,
                                    SettingsTarget target) {
    LoadedProfile loaded = LoadProfile(files, codePage, path);
    // An unreadable file still leaves every default in place, so the launcher starts usable.
    ApplySettings(loaded.document, target);
    if (loaded.status == ReadResult::Status::Error) {
        return {false, loaded.error};
    }
    return {};
}

SettingsFileResult SaveSettingsFile(FileStore& files, const CodePage& codePage, const std::string& path,
                                    const SettingsTarget& source) {
    LoadedProfile loaded = LoadProfile(files, codePage, path);
    if (loaded.status == ReadResult::Status::Error) {
        // Writing over a file that could not be read would drop the entries we do not know.
        return {false, loaded.error};
    }
    StoreSettings(loaded.document, source);
    IoResult saved = SaveProfile(files, path, loaded.document);
    if (!saved.ok) {
        return {false, saved.error};
    }
    return {};
}

}  // namespace rivo
