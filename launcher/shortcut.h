// Reading a shell shortcut (.lnk): its target with its arguments, and its working directory.
#pragma once

#include <string>

namespace rivo {

struct ShortcutTarget {
    std::string path;  // the target; with arguments, the quoted target followed by them
    std::string workDir;
};

// The shortcut's target path and working directory (its environment variables expanded), as the
// shortcut holds them: no box, no search for a moved target, no change to the file. False when the
// shortcut cannot be read or resolved, when its target has no file-system path, or when a text
// would not fit or cannot be registered: the caller then keeps the shortcut itself.
bool ResolveShortcut(const std::string& shortcutPath, ShortcutTarget& target);

}  // namespace rivo
