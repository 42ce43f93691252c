// Where the running executable lives.
#pragma once

#include <string>

namespace rivo {

// The executable's full path, at any length (the buffer grows until the name fits).
std::string ExecutablePath();

// The directory part of ExecutablePath(): no trailing backslash except at a drive root.
std::string ExecutableDirectory();

}  // namespace rivo
