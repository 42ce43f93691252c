// A registered command as the shell is handed it: the file to open and the parameters that follow.
#pragma once

#include <string>
#include <string_view>

namespace rivo {

struct ShellCommand {
    std::string file;
    std::string parameters;  // empty: none
};

// A command that begins with a double quote carries parameters: the file is what lies between
// that quote and the next one, the parameters are the rest with the blanks around them trimmed
// (no closing quote: the whole rest is the file). Any other command is one file name exactly as
// stored, spaces included, so that an unquoted path with spaces keeps working and no stored file
// changes meaning: the shell takes lpFile as one name and would not start a quoted one.
ShellCommand SplitCommand(std::string_view command);

// The command that SplitCommand splits into `file` and `parameters`: the quoted form, or the file
// alone when there are no parameters.
std::string QuotedCommand(std::string_view file, std::string_view parameters);

}  // namespace rivo
