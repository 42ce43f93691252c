// Rivo.ini: the mapping of the launcher state to its 775 entries, over the profile engine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/code_page.h"
#include "core/file_store.h"
#include "core/launcher_state.h"
#include "core/rivo_main_set.h"

namespace rivo {

class ProfileDocument;

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
    std::string error;  // for a person: what failed, the path and the system's reason
};

// Loads the file at `path`; a missing file leaves every default in place and is not an error.
SettingsFileResult LoadSettingsFile(FileStore& files, const CodePage& codePage, const std::string& path,
                                    SettingsTarget target);
// Re-reads the file (so entries the launcher does not know survive), writes the state over it and
// replaces it atomically. On failure the file and the state are left as they were.
SettingsFileResult SaveSettingsFile(FileStore& files, const CodePage& codePage, const std::string& path,
                                    const SettingsTarget& source);

}  // namespace rivo
