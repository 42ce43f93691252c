// Reading a shell shortcut (.lnk): its target and its stored working directory.
#pragma once

#include <string>

namespace rivo {

struct ShortcutTarget {
    std::string path;
    std::string workDir;
};

// The shortcut's target path and working directory, resolved through the shell (which may look
// for a moved target and update the shortcut). False when the shortcut cannot be read or
// resolved, or when a text would not fit or cannot be registered: the caller then keeps the
// shortcut itself.
bool ResolveShortcut(const std::string& shortcutPath, ShortcutTarget& target);

}  // namespace rivo
