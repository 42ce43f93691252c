// What rivo.exe and rivo.dll agree on: the record handed to the library and its three exports.
// This is the only header the launcher and the hook library share.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace rivo {

// Four 32-bit slots in this order, the same in the 32-bit and the 64-bit build. A window handle
// fits in 32 bits on Win64 too (user handles are 32-bit significant so that 32-bit and 64-bit
// processes can share them): store it with WindowToRecord, read it with RecordToWindow.
struct HookRecord {
    std::uint32_t MainWindow;  // the window to bring to the foreground on the call-up
    std::uint32_t Key1;        // the two call-up keys, virtual-key codes
    std::uint32_t Key2;
    std::uint32_t StartForeground;  // foreground window at start; the library does not use it
};

static_assert(std::is_standard_layout_v<HookRecord> && std::is_trivially_copyable_v<HookRecord>);
static_assert(sizeof(HookRecord) == 16);
static_assert(offsetof(HookRecord, MainWindow) == 0 && offsetof(HookRecord, Key1) == 4 &&
              offsetof(HookRecord, Key2) == 8 && offsetof(HookRecord, StartForeground) == 12);

inline std::uint32_t WindowToRecord(HWND window) {
    return HandleToULong(window);
}

// Sign-extended, not zero-extended: that is how a 64-bit process widens a 32-bit user handle.
inline HWND RecordToWindow(std::uint32_t value) {
    return static_cast<HWND>(LongToHandle(static_cast<LONG>(value)));
}

// The exports, undecorated names (rivo.def), __stdcall (WINAPI) on i686; x86_64 has one calling
// convention. Call them only through these types: a caller using __cdecl would unbalance the
// stack on i686. The library runs the hook on a thread of its own, so nothing the caller's
// thread does makes a key wait; the three may be called from any thread.
//
// SetHook: starts the hook thread and returns once the hook is in place; again while it runs: no
// effect. The hook watches the desktop of the calling thread, and the call-up is carried out on
// the calling thread, which must pump messages (its modal loops do): call it from the thread of
// the window to be called up, so that the window is activated with the foreground.
// SetHandle: copies the record (a null pointer is ignored); new keys apply at once.
// ReleaseHook: removes the hook and returns once the thread has ended; without a hook: no effect.
// Not counted: one ReleaseHook undoes any number of SetHook calls.
using SetHookFn = void(WINAPI*)();
using SetHandleFn = void(WINAPI*)(const HookRecord* record);
using ReleaseHookFn = void(WINAPI*)();

inline constexpr char kSetHookExport[] = "SetHook";
inline constexpr char kSetHandleExport[] = "SetHandle";
inline constexpr char kReleaseHookExport[] = "ReleaseHook";

// GetProcAddress typed as one of the above; null when the library lacks the export. The detour
// through void(*)() is the one function-pointer cast GCC's -Wcast-function-type accepts.
template <typename Fn>
Fn LookUpHookExport(HMODULE library, const char* name) {
    static_assert(std::is_pointer_v<Fn> && std::is_function_v<std::remove_pointer_t<Fn>>);
    const FARPROC proc = library ? GetProcAddress(library, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace rivo
