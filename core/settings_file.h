// Rivo.ini: the mapping of the launcher state to its 775 entries, over the profile engine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/code_page.h"
#include "core/file_store.h"
#include "core/launcher_state.h"
#include "core/profile_document.h"
#include "core/rivo_main_set.h"

namespace rivo {

inline constexpr char kSettingsSection[] = "Rivo";

// ProgramDir followed by "\Rivo.ini"; at a drive root the path has two backslashes in a row.
std::string SettingsPath(std::string_view programDir);

// The main window's position as the settings file sees it, so core stays window-free.
class WindowPosition {
public:
    virtual ~WindowPosition() = default;
    // The window's normal (restored) position, also while it is minimised.
    virtual std::int32_t WindowTop() const = 0;
    virtual std::int32_t WindowLeft() const = 0;
    virtual void MoveWindowTop(std::int32_t top) = 0;
    virtual void MoveWindowLeft(std::int32_t left) = 0;
};

// Everything the settings file holds.
struct SettingsTarget {
    TRivoMainSet& mainSet;
    KeyStringTable& commands;
    KeyStringTable& workDirs;
    WindowPosition& window;
};

// Reads the 775 entries into the state; entries missing or not numbers take their defaults.
void ApplySettings(const ProfileDocument& profile, SettingsTarget target);
// Writes the 775 entries in their fixed order.
void StoreSettings(ProfileDocument& profile, const SettingsTarget& source);

struct SettingsFileResult {
    bool ok = true;
    bool unreadable = false;  // the file exists but could not be read
    bool tooLarge = false;    // ... or it could, but is too large to load, or memory ran out saving
    std::string error;        // for a person: what failed, the path and the system's reason
    std::string reason;       // the system's reason alone (may be empty)
};

// Loads the file at `path`; a missing file leaves every default in place and is not an error.
SettingsFileResult LoadSettingsFile(FileStore& files, const CodePage& codePage, const std::string& path,
                                    SettingsTarget target);
// Re-reads the file (so entries the launcher does not know survive), writes the state over it and
// replaces it atomically. On failure the file and the state are left as they were.
SettingsFileResult SaveSettingsFile(FileStore& files, const CodePage& codePage, const std::string& path,
                                    const SettingsTarget& source);

// Rivo.ini for one run. It remembers a load that failed (a scanner or sync client holding the
// file at start): the state then holds defaults, and writing them over the user's file would
// wipe every registration.
class SettingsFile {
public:
    SettingsFileResult Load(FileStore& files, const CodePage& codePage, const std::string& path,
                            SettingsTarget target);
    // After a failed load the file is read first. Readable now: the entries changed in this run
    // win, every other entry takes the file's value (in the state too), then the save goes on.
    // Still unreadable: the save is refused and nothing is written.
    SettingsFileResult Save(FileStore& files, const CodePage& codePage, const std::string& path,
                            SettingsTarget target);

    bool LoadFailed() const { return unreadBaseline_.has_value(); }

private:
    SettingsFileResult SaveOrThrow(FileStore& files, const CodePage& codePage, const std::string& path,
                                   SettingsTarget target);

    // The entries of the state right after the failed load; what differs from them was changed
    // in this run.
    std::optional<ProfileDocument> unreadBaseline_;
};

}  // namespace rivo
