// Where the running executable lives.
#pragma once

#include <string>

namespace rivo {

// The executable's full path, at any length (the buffer grows until the name fits).
std::string ExecutablePath();

// The system code page's lead-byte test, for path scanning.
bool IsSystemLeadByte(unsigned char byte);

// The directory part of ExecutablePath(): no trailing backslash except at a drive root.
std::string ExecutableDirectory();

}  // namespace rivo
