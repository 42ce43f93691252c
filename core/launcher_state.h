// The process-wide tables of the launcher, all indexed by virtual-key code 0-255.
#pragma once

#include <array>
#include <string>

namespace rivo {

inline constexpr int kKeyCount = 256;

// One 8-bit (code page 932) string per virtual-key code.
using KeyStringTable = std::array<std::string, kKeyCount>;

// Commands registered per key; an empty entry means the key has no registration.
extern KeyStringTable CommandTable;
// Working directory of each key's command; may be empty for a registered key.
extern KeyStringTable WorkDirTable;
// Display name of each key, built once at start; empty for keys that are not offered in lists.
extern KeyStringTable KeyNameTable;
// Directory of the running executable, no trailing backslash except at a drive root.
extern std::string ProgramDir;

// Fills `table` with the display names of the keys (codes 48-90 are their own character).
void BuildKeyNameTable(KeyStringTable& table);

}  // namespace rivo
