#include "core/command_list_rows.h"

namespace rivo {

std::vector<CommandRow> BuildCommandRows(const KeyStringTable& commands, const KeyStringTable& names) {
    std::vector<CommandRow> rows;
    for (int k = 0; k < kKeyCount; ++k) {
        if (commands[k].empty())
            continue;
        CommandRow row;
        row.keyName = (k >= 48 && k <= 90) ? std::string(1, static_cast<char>(k)) : names[k];
        row.command = commands[k];
        row.keyCode = k;
        rows.push_back(std::move(row));
    }
    return rows;
}

void DeleteRegistration(KeyStringTable& commands, KeyStringTable& workDirs, std::int32_t keyCode) {
    if (keyCode < 0 || keyCode >= kKeyCount)
        return;
    commands[keyCode].clear();
    workDirs[keyCode].clear();
}

}  // namespace rivo
