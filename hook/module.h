// The library's own module handle, for the window classes it registers.
#pragma once

#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace rivo {

inline HINSTANCE Module() noexcept {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

}  // namespace rivo
