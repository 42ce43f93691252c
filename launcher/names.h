// Names that are not shown to the user and never translated.
#pragma once

namespace rivo::name {

inline constexpr char kMutex[] = "rivo";
inline constexpr char kMainWindowClass[] = "TMainForm";
inline constexpr char kHookLibrary[] = "rivo.dll";
inline constexpr char kSetHook[] = "SetHook";
inline constexpr char kSetHandle[] = "SetHandle";
inline constexpr char kReleaseHook[] = "ReleaseHook";
inline constexpr char kHelpFile[] = "help.html";
inline constexpr char kTaskbarCreated[] = "TaskbarCreated";

inline constexpr unsigned kTrayIconId = 100;
inline constexpr unsigned kTrayCallbackMessage = 1025;  // WM_USER + 1

}  // namespace rivo::name
