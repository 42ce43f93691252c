#include "core/shell_command.h"

namespace rivo {

ShellCommand SplitCommand(std::string_view command) {
    if (command.empty() || command.front() != '"')
        return {std::string(command), {}};
    // A quote is never a trail byte of code page 932 (0x22 < 0x40), so no double-byte scan is needed.
    const std::size_t close = command.find('"', 1);
    if (close == std::string_view::npos)
        return {std::string(command.substr(1)), {}};
    std::string_view rest = command.substr(close + 1);
    const std::size_t first = rest.find_first_not_of(" \t");
    rest = first == std::string_view::npos ? std::string_view() : rest.substr(first);
    rest = rest.substr(0, rest.find_last_not_of(" \t") + 1);
    return {std::string(command.substr(1, close - 1)), std::string(rest)};
}

std::string QuotedCommand(std::string_view file, std::string_view parameters) {
    if (parameters.empty())
        return std::string(file);
    std::string command = "\"";
    command.append(file).append("\" ").append(parameters);
    return command;
}

}  // namespace rivo
