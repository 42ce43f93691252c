// The command list window's rows: one per key with a command, in ascending key order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/launcher_state.h"

namespace rivo {

struct CommandRow {
    std::string keyName;  // the character itself for 48-90, else the key's name (may be empty)
    std::string command;
    std::int32_t keyCode = 0;
};

std::vector<CommandRow> BuildCommandRows(const KeyStringTable& commands, const KeyStringTable& names);

// Deleting a registration empties the command and the working directory together.
void DeleteRegistration(KeyStringTable& commands, KeyStringTable& workDirs, std::int32_t keyCode);

}  // namespace rivo
