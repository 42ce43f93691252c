// Where the running executable lives. Its folder is kept as Windows names it: a name code page
// 932 cannot write (C:\Tools\Łódź\Rivo) still finds rivo.dll, Rivo.ini and the help page there.
#pragma once

#include <string>
#include <string_view>

namespace rivo::platform {

// The executable's full path, at any length (the buffer grows until the name fits).
std::wstring ExecutablePath();

struct ProgramFolder {
    std::wstring wide;   // no trailing backslash except at a drive root
    std::string narrow;  // code page 932; '?' for what it cannot write, which WidePath maps back
    bool exact = true;   // code page 932 writes the whole name
};
// The executable's folder, found once.
const ProgramFolder& ThisProgramFolder();

// The code page 932 form of the executable's folder: what the launcher's tables call ProgramDir.
std::string ExecutableDirectory();

// A path of ours for a W call. One inside the program's folder keeps the folder's own name, even
// where code page 932 cannot write it; any other is `path` decoded from code page 932.
std::wstring WidePath(std::string_view path);

}  // namespace rivo::platform
