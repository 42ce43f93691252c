// The one way a failed Win32 call is described to a person: "Function: <system text>".
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace rivo::platform {

// The system's own text for `error` without the trailing line break; "error N" when it has none.
std::string SystemMessage(DWORD error);

// "Function: " followed by the system's own text for `error` (in code page 932, like every text
// of ours), without the trailing line break; "Function: error N" when the system has no text.
std::string Win32ErrorText(std::string_view function, DWORD error = ::GetLastError());

// Thrown where a failed call leaves the caller unable to go on (a window that could not be
// created); it reaches the application's error box.
class Win32Error : public std::runtime_error {
public:
    explicit Win32Error(std::string_view function, DWORD error = ::GetLastError())
        : std::runtime_error(Win32ErrorText(function, error)), code_(error) {}
    DWORD Code() const noexcept { return code_; }

private:
    DWORD code_;
};

}  // namespace rivo::platform
