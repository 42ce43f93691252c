// Environment variables in a command or a directory (%USERPROFILE%), expanded as the shell does.
#pragma once

#include <string>

namespace rivo::platform {

// Every %NAME% that names a variable replaced by its value; one that names none stays as written.
// In UTF-16: a value may hold characters code page 932 cannot write (C:\Users\Łukasz).
std::wstring ExpandEnvironment(const std::wstring& text);

}  // namespace rivo::platform
