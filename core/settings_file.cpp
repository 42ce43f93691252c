#include "core/settings_file.h"

#include <new>
#include <string>
#include <utility>
#include <vector>

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

// Every entry StoreSettings writes.
std::vector<std::string> SettingsKeys() {
    std::vector<std::string> keys;
    for (int k = 0; k < kKeyCount; ++k) {
        keys.push_back(std::to_string(k));
        keys.push_back(std::to_string(k + kWorkDirOffset));
        keys.push_back(std::to_string(k + kFilterOffset));
    }
    for (const char* key : {"Top", "Left", "Key1", "Key2", "SetKey", "EndKey", "FormType"}) {
        keys.emplace_back(key);
    }
    return keys;
}

SettingsFileResult Unreadable(const LoadedProfile& loaded) {
    SettingsFileResult result;
    result.ok = false;
    result.unreadable = true;
    result.error = loaded.error;
    result.reason = loaded.reason;
    result.tooLarge = loaded.tooLarge;
    return result;
}

// A file, or values, that this process's memory cannot hold (a 32-bit process's address space).
SettingsFileResult OutOfMemory(const std::string& path, const char* how) {
    SettingsFileResult result;
    result.ok = false;
    result.tooLarge = true;
    result.error = std::string("settings not ") + how + " \"" + path + "\": not enough memory";
    return result;
}

SettingsFileResult StoreAndSave(FileStore& files, const std::string& path, ProfileDocument& document,
                                const SettingsTarget& source) {
    StoreSettings(document, source);
    IoResult saved = SaveProfile(files, path, document);
    if (!saved.ok) {
        SettingsFileResult result;
        result.ok = false;
        result.error = std::move(saved.error);
        result.reason = std::move(saved.reason);
        return result;
    }
    return {};
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
        return Unreadable(loaded);
    }
    return {};
}

SettingsFileResult SaveSettingsFile(FileStore& files, const CodePage& codePage, const std::string& path,
                                    const SettingsTarget& source) {
    LoadedProfile loaded = LoadProfile(files, codePage, path);
    if (loaded.status == ReadResult::Status::Error) {
        // Writing over a file that could not be read would drop the entries we do not know.
        return Unreadable(loaded);
    }
    return StoreAndSave(files, path, loaded.document, source);
}

SettingsFileResult SettingsFile::Load(FileStore& files, const CodePage& codePage, const std::string& path,
                                      SettingsTarget target) {
    SettingsFileResult result;
    try {
        result = LoadSettingsFile(files, codePage, path, target);
    } catch (const std::bad_alloc&) {
        // Values too long for this process's memory. What is in the state came from the file; what
        // is not was never read, and the first save must merge rather than write over it.
        result = OutOfMemory(path, "loaded from");
        result.unreadable = true;
    }
    if (result.unreadable) {
        unreadBaseline_.emplace(codePage);
        StoreSettings(*unreadBaseline_, target);
    } else {
        unreadBaseline_.reset();
    }
    return result;
}

SettingsFileResult SettingsFile::Save(FileStore& files, const CodePage& codePage, const std::string& path,
                                      SettingsTarget target) {
    try {
        return SaveOrThrow(files, codePage, path, target);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(path, "saved to");
    }
}

SettingsFileResult SettingsFile::SaveOrThrow(FileStore& files, const CodePage& codePage,
                                             const std::string& path, SettingsTarget target) {
    if (!unreadBaseline_) {
        return SaveSettingsFile(files, codePage, path, target);
    }
    LoadedProfile loaded = LoadProfile(files, codePage, path);
    if (loaded.status == ReadResult::Status::Error) {
        return Unreadable(loaded);
    }
    ProfileDocument current(codePage);
    StoreSettings(current, target);
    for (const std::string& key : SettingsKeys()) {
        std::string now = current.ReadString(kSettingsSection, key, "");
        if (now != unreadBaseline_->ReadString(kSettingsSection, key, "")) {
            loaded.document.Write(kSettingsSection, key, now);
        }
    }
    // The state takes the file's entries, as if the load had worked; from now on saves are the
    // ordinary kind.
    ApplySettings(loaded.document, target);
    unreadBaseline_.reset();
    return StoreAndSave(files, path, loaded.document, target);
}

}  // namespace rivo
